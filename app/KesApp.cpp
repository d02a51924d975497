#include "app/KesApp.h"

#include "store/FileError.h"

#include <QMainWindow>
#include <QMessageBox>

CKesApp::CKesApp(int& argc, char** argv) : QApplication(argc, argv) {}

CKesApp::~CKesApp() = default;

CKesApp* CKesApp::Instance() { return qobject_cast<CKesApp*>(QCoreApplication::instance()); }

bool CKesApp::InitInstance() {
    auto* window = new QMainWindow;
    window->setWindowTitle(QStringLiteral("Tavelin 4.0"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(995, 650);
    window->show();
    return true;
}

bool CKesApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const CFileError& error) {
        ReportFileError(error);
        return true;
    }
}

void CKesApp::ReportFileError(const CFileError& error) {
    QMessageBox::warning(activeWindow(), QStringLiteral("Tavelin 4.0"),
                         tr("The file %1 could not be written: %2.")
                             .arg(QString::fromStdString(error.GetPath()),
                                  QString::fromStdString(error.GetReason())));
}

CMainFrame* CKesApp::GetMainFrame() const { return nullptr; }
