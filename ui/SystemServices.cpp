#include "ui/SystemServices.h"

#include "store/Clock.h"
#include "ui/MessageBoxes.h"
#include "ui/StringTable.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace {

// The desktop names a default application per file type; without one, opening the file
// would at best show an error of the desktop's own.
bool DesktopHasViewerFor(const QString& file) {
    QString mimeType = QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension).name();
    if (mimeType.isEmpty() || mimeType == QLatin1String("application/octet-stream")) {
        // The compiled help file, which not every type database knows.
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

} // namespace

bool CSystemServices::Ask(int stringId, QWidget* parent) {
    return MakeQuestionBox(LoadResString(stringId), parent)->exec() == QMessageBox::Yes;
}

bool CSystemServices::AskChoice(const QString& text, const QString& accept, const QString& reject,
                                QWidget* parent) {
    const std::unique_ptr<QMessageBox> box = MakeChoiceBox(text, accept, reject, parent);
    box->exec();
    return box->clickedButton() == static_cast<QAbstractButton*>(box->defaultButton());
}

void CSystemServices::Inform(const QString& text, QWidget* parent) {
    MakeMessageBox(QMessageBox::Information, text, parent)->exec();
}

void CSystemServices::ReportError(const QString& text, QWidget* parent) {
    MakeMessageBox(QMessageBox::Critical, text, parent)->exec();
}

void CSystemServices::Notify(const QString& text, const QString& details, QWidget* parent) {
    // It stays open, centred over the window, until the user closes it.
    QMessageBox* box = MakeNoticeBox(text, details, parent ? parent->window() : nullptr).release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

std::optional<QString> CSystemServices::PickFolder(const QString& caption, const QString& start,
                                                   QWidget* parent) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent, caption, start, QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

std::optional<QString> CSystemServices::PickSaveFile(const QString& caption, const QString& start,
                                                     const QString& filter, QWidget* parent) {
    // The caller adds its default extension and only then knows the name to ask about.
    const QString file = QFileDialog::getSaveFileName(parent, caption, start, filter, nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return file;
}

QStringList CSystemServices::PickOpenFiles(const QString& caption, const QString& start,
                                           const QString& filter, QWidget* parent) {
    return QFileDialog::getOpenFileNames(parent, caption, start, filter);
}

int CSystemServices::RunDialog(QDialog& dialog) {
    return dialog.exec();
}

bool CSystemServices::OpenFile(const QString& path) {
    return DesktopHasViewerFor(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool CSystemServices::StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

CDateTime CSystemServices::Now() const {
    return CurrentDateTime();
}

QAction* CSystemServices::RunMenu(QMenu& menu, const QPoint& globalPos) {
    return menu.exec(globalPos);
}
