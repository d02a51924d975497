#include "app/HelpWindow.h"

#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeySequence>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QPointer<CHelpWindow>& TheHelpWindow() {
    static QPointer<CHelpWindow> window;
    return window;
}

// The desktop's own icons where its theme has them, so the window looks at home there.
QIcon ToolIcon(const char* themeName, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QLatin1String(themeName),
                            QApplication::style()->standardIcon(fallback));
}

} // namespace

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Tavelin Help"));
    resize(860, 660);
    setMinimumSize(420, 320);
    // Reading help never keeps the program running once its own window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("helpToolBar"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->setMovable(false);

    m_back = toolBar->addAction(ToolIcon("go-previous", QStyle::SP_ArrowBack), tr("Back"));
    m_back->setObjectName(QStringLiteral("helpBack"));
    m_back->setShortcut(QKeySequence::Back);
    m_back->setEnabled(false);
    m_forward = toolBar->addAction(ToolIcon("go-next", QStyle::SP_ArrowForward), tr("Forward"));
    m_forward->setObjectName(QStringLiteral("helpForward"));
    m_forward->setShortcut(QKeySequence::Forward);
    m_forward->setEnabled(false);
    QAction* home = toolBar->addAction(ToolIcon("go-home", QStyle::SP_DirHomeIcon), tr("Contents"));
    home->setObjectName(QStringLiteral("helpHome"));
    home->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));

    // Escape puts the window away, as it does for the program's dialogs.
    auto* close = new QAction(this);
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->document()->setDocumentMargin(18);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_browser);

    connect(m_back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(home, &QAction::triggered, this, &CHelpWindow::GoHome);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &CHelpWindow::UpdateTitle);

    m_browser->setSource(ContentsUrl());
}

CHelpWindow* CHelpWindow::Instance() {
    return TheHelpWindow().data();
}

CHelpWindow* CHelpWindow::ShowContents(QWidget* parent) {
    // A window outside a running modal dialog would take no input until the dialog ends
    // (the working-directory dialog has a Help button), so it belongs to that dialog then;
    // otherwise to the caller's window, so that it goes when the program's window goes.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner && parent) {
        owner = parent->window();
    }
    QPointer<CHelpWindow>& window = TheHelpWindow();
    if (!window) {
        window = new CHelpWindow(owner);
        // A new window opens centred over the one it was asked from, not wherever the
        // window manager puts new windows, and fits on a small screen.
        if (owner) {
            const QScreen* screen = owner->screen();
            const QRect available = screen ? screen->availableGeometry() : QRect();
            if (available.isValid()) {
                window->resize(window->size().boundedTo(available.size() * 9 / 10));
            }
            window->move(CentredTopLeft(owner->frameGeometry(), window->size(), available));
        }
    } else if (window->parentWidget() != owner) {
        const QRect geometry = window->geometry();
        window->setParent(owner, Qt::Window);
        window->setGeometry(geometry);
    }
    if (!window->isVisible()) {
        window->GoHome();
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

QUrl CHelpWindow::Source() const {
    return m_browser->source();
}

void CHelpWindow::GoHome() {
    if (m_browser->source() != ContentsUrl()) {
        m_browser->setSource(ContentsUrl());
    }
    m_browser->verticalScrollBar()->setValue(0);
}

void CHelpWindow::UpdateTitle() {
    const QString page = m_browser->documentTitle();
    setWindowTitle(page.isEmpty() || page == tr("Tavelin Help")
                       ? tr("Tavelin Help")
                       : tr("%1 - Tavelin Help").arg(page));
}
