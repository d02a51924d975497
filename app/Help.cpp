#include "app/Help.h"

#include "app/HelpWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace {

struct HelpInterception {
    bool active = false;
    QString helpFile;
    bool hasViewer = false;
    QStringList opened;
};

HelpInterception& Interception() {
    static HelpInterception interception;
    return interception;
}

// The desktop names a default application per file type; without one, opening the file
// would at best show an error of the desktop's own, so the program's window is better.
bool DesktopHasViewerFor(const QString& file) {
    QString mimeType = QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension).name();
    if (mimeType.isEmpty() || mimeType == QLatin1String("application/octet-stream")) {
        mimeType = QStringLiteral("application/vnd.ms-htmlhelp");
    }
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForStarted(2000) || !query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
        return false;
    }
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool OpenWithViewer(const QString& file) {
    HelpInterception& interception = Interception();
    if (interception.active) {
        interception.opened.append(file);
        return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace

QString ModuleFolderPathFor(const QString& programFilePath, const QString& fileName) {
    const qsizetype separator = programFilePath.lastIndexOf(QLatin1Char('/'));
    return programFilePath.left(separator + 1) + fileName;
}

QString GetModuleFolderPath(const QString& fileName) {
    return ModuleFolderPathFor(QCoreApplication::applicationFilePath(), fileName);
}

void ShowHelp(QWidget* parent) {
    const HelpInterception& interception = Interception();
    const QString file =
        interception.active ? interception.helpFile : GetModuleFolderPath(HelpFileName());
    // The viewer is asked for only when there is a file to show it.
    if (QFileInfo(file).isFile() &&
        (interception.active ? interception.hasViewer : DesktopHasViewerFor(file)) &&
        OpenWithViewer(file)) {
        return;
    }
    CHelpWindow::ShowContents(parent);
}

namespace HelpTesting {

void Intercept(const QString& helpFile, bool hasViewer) {
    HelpInterception& interception = Interception();
    interception.active = true;
    interception.helpFile = helpFile;
    interception.hasViewer = hasViewer;
    interception.opened.clear();
}

void Stop() {
    Interception() = HelpInterception();
}

bool IsIntercepted() {
    return Interception().active;
}

const QStringList& OpenedFiles() {
    return Interception().opened;
}

} // namespace HelpTesting
