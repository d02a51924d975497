#include "export/MeetingExport.h"

#include "export/ExportFile.h"
#include "export/MeetingPage.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QBuffer>

void ExportMeeting(const CMeetingStore& store, const std::string& id, CDesktopServices& services,
                   QWidget* parent) {
    const CMeeting record = store.GetMeeting(id);
    const QString extension = QStringLiteral("html");
    const std::optional<QString> path =
        PickExportFile(services, QStringLiteral("HTML Files (*.html)"), extension, parent,
                       ExportFileName(ToShownText(record.title), extension));
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
