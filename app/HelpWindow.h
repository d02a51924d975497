#pragma once

#include <QUrl>
#include <QWidget>

class QAction;
class QTextBrowser;

// The program's own help viewer: the help pages compiled into the program, with Back,
// Forward and Contents. One window serves every request; it does not block the program.
class CHelpWindow : public QWidget {
public:
    // Shows the window (made on first use) and raises it. A window that was closed opens on
    // the contents page again; an open one stays on the page being read.
    static CHelpWindow* ShowContents(QWidget* parent = nullptr);
    // The window, or null when none has been made (or it went with its owner).
    static CHelpWindow* Instance();

    static QUrl ContentsUrl() { return QUrl(QStringLiteral("qrc:/help/index.html")); }

    QTextBrowser* Browser() const { return m_browser; }
    QUrl Source() const;
    void GoHome();

private:
    explicit CHelpWindow(QWidget* parent);
    void UpdateTitle();

    QTextBrowser* m_browser = nullptr;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
};
