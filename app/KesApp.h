#pragma once

#include <QApplication>
#include <QPointer>

class CFileError;
class CMainFrame;

// The application object: settles the working directory and the settings before the main
// window exists, then creates the main frame.
class CKesApp : public QApplication {
    Q_OBJECT

public:
    CKesApp(int& argc, char** argv);
    ~CKesApp() override;

    static CKesApp* Instance();

    // The start-up sequence. False when the program is to end without a window.
    bool InitInstance();

    CMainFrame* GetMainFrame() const;

    // File errors that reach the event loop are shown, naming the file and the reason, and
    // the operation that raised them stops there.
    bool notify(QObject* receiver, QEvent* event) override;
    void ReportFileError(const CFileError& error);

private:
    QPointer<QObject> m_mainFrame;
};
