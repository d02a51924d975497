#include "ui/SystemServices.h"

#include "store/Clock.h"
#include "ui/Ask.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QProcess>
#include <QUrl>

bool CSystemServices::Ask(int stringId, QWidget* parent) {
    return ::Ask(stringId, parent);
}

bool CSystemServices::AskChoice(const QString& text, const QString& accept, const QString& reject,
                                QWidget* parent) {
    return ::AskChoice(text, accept, reject, parent);
}

void CSystemServices::Inform(const QString& text, QWidget* parent) {
    InformText(text, parent);
}

void CSystemServices::ReportError(const QString& text, QWidget* parent) {
    ::ReportError(text, parent);
}

void CSystemServices::Notify(const QString& text, const QString& details, QWidget* parent) {
    ::Notify(text, parent, details);
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
    const QString file = QFileDialog::getSaveFileName(parent, caption, start, filter);
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return file;
}

bool CSystemServices::OpenFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
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
