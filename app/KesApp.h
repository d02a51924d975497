#pragma once

#include <QApplication>
#include <QMainWindow>
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

    // First start, or the stored folder has gone: the user picks a folder and the working
    // directory becomes its "Meeting Files" folder. False when the user cancels.
    bool SelectWorkingDirectory();

    // The settings the quick view pane starts from, and those written when the frame goes.
    void LoadQuickViewSettings(CMainFrame& frame);
    void SaveSettings(const CMainFrame& frame);
    // After a change of the working directory: the new path, default bars, no shortcuts.
    void ResetSettings();

    CMainFrame* GetMainFrame() const;

    // File errors that reach the event loop are shown, naming the file and the reason, and
    // the operation that raised them stops there.
    bool notify(QObject* receiver, QEvent* event) override;
    void ReportFileError(const CFileError& error);

private:
    QPointer<QMainWindow> m_mainFrame;
};
