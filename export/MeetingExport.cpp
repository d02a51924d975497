#include "export/MeetingExport.h"

#include "export/MeetingPage.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString pageFilter = QStringLiteral("HTML Files (*.html)");
const QString defaultExtension = QStringLiteral("html");

// The picked name, with the default extension when the user typed none.
QString WithDefaultExtension(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + defaultExtension : path;
}

} // namespace

void ExportMeeting(const CMeetingStore& store, const std::string& id, CDesktopServices& services,
                   QWidget* parent) {
    const CMeeting record = store.GetMeeting(id);
    const std::optional<QString> picked =
        services.PickSaveFile(QStringLiteral("Save As"), QString(), pageFilter, parent);
    if (!picked || picked->isEmpty()) {
        return;
    }
    const QString path = WithDefaultExtension(*picked);
    const QString shownPath = QDir::toNativeSeparators(path);
    if (QFileInfo::exists(path) &&
        !services.AskChoice(
            QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(shownPath),
            QStringLiteral("&Yes"), QStringLiteral("&No"), parent)) {
        return;
    }

    QBuffer page;
    page.open(QIODevice::WriteOnly);
    WriteMeetingPage(page, record, ReadMeetingContent(id));
    try {
        // Written beside the old file and renamed over it, so a failed export leaves the
        // old page whole.
        const QByteArray bytes = page.data();
        WriteFileAtomically(QFile::encodeName(path).toStdString(),
                            std::string_view(bytes.constData(), bytes.size()));
    } catch (const CFileError& error) {
        services.ReportError(QStringLiteral("The file %1 could not be written: %2.")
                                 .arg(shownPath, QString::fromStdString(error.GetReason())),
                             parent);
        return;
    }
    services.OpenFile(path);
}
