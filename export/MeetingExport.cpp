#include "export/MeetingExport.h"

#include "export/ExportFile.h"
#include "export/MeetingPage.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"

#include <QBuffer>

void ExportMeeting(const CMeetingStore& store, const std::string& id, CDesktopServices& services,
                   QWidget* parent) {
    const CMeeting record = store.GetMeeting(id);
    const std::optional<QString> path = PickExportFile(
        services, QStringLiteral("HTML Files (*.html)"), QStringLiteral("html"), parent);
    if (!path) {
        return;
    }
    QBuffer page;
    page.open(QIODevice::WriteOnly);
    WriteMeetingPage(page, record, ReadMeetingContent(id));
    if (WriteExportFile(*path, page.data(), services, parent)) {
        services.OpenFile(*path);
    }
}
