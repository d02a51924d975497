#include "tools/screenshots/Screenshot.h"

#include "app/AboutDlg.h"
#include "app/HelpWindow.h"

#include <QLabel>
#include <QPainter>
#include <QTextBrowser>

namespace {

std::unique_ptr<QWidget> HelpWindowOn(const QString& page) {
    CHelpWindow* window = CHelpWindow::ShowContents();
    if (!page.isEmpty()) {
        window->Browser()->setSource(QUrl(page));
    }
    return std::unique_ptr<QWidget>(window);
}

} // namespace

KES_SCREENSHOT("about") {
    return std::make_unique<CAboutDlg>();
}

// The about box as a screen with twice the pixels shows it: it must stay sharp.
KES_SCREENSHOT("about-hidpi") {
    CAboutDlg dialog;
    QPixmap pixmap(dialog.size() * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::white);
    dialog.render(&pixmap);
    pixmap.setDevicePixelRatio(1.0);
    auto label = std::make_unique<QLabel>();
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    return label;
}

KES_SCREENSHOT("help-contents") {
    return HelpWindowOn({});
}
KES_SCREENSHOT("help-main-window") {
    return HelpWindowOn(QStringLiteral("main-window.html"));
}
KES_SCREENSHOT("help-calendar") {
    return HelpWindowOn(QStringLiteral("calendar.html"));
}
KES_SCREENSHOT("help-meetings") {
    return HelpWindowOn(QStringLiteral("meetings.html"));
}
KES_SCREENSHOT("help-keyboard") {
    return HelpWindowOn(QStringLiteral("keyboard.html"));
}
KES_SCREENSHOT("help-getting-started") {
    return HelpWindowOn(QStringLiteral("getting-started.html"));
}
KES_SCREENSHOT("help-calendar-files") {
    return HelpWindowOn(QStringLiteral("calendar-files.html"));
}
KES_SCREENSHOT("help-calendar-server") {
    return HelpWindowOn(QStringLiteral("calendar-server.html"));
}
