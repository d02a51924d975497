#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "Version.h"
#include "app/MainFrame.h"
#include "app/SkippedFilesNotice.h"
#include "app/ToolbarDateCtrl.h"
#include "store/WorkingDirectory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QToolBar>

#include <vector>

namespace {

std::unique_ptr<QWidget> Box(QMessageBox::Icon icon, const QString& text,
                             QMessageBox::StandardButtons buttons = QMessageBox::Ok) {
    return std::make_unique<QMessageBox>(icon, QStringLiteral(TAVELIN_NAME_AND_VERSION), text,
                                         buttons);
}

// The main window's toolbar as it stands in the window, on its own.
std::unique_ptr<QWidget> ToolBar() {
    TestServices().SetNow(CDateTime(2026, 12, 7, 10, 30, 0));
    CMainFrame frame(TestStore(), TestServices());
    TestServices().SetNow(std::nullopt);
    frame.resize(1180, 740);
    frame.show();
    QApplication::processEvents();
    const QPixmap pixmap = frame.findChild<QToolBar*>()->grab();
    auto label = std::make_unique<QLabel>();
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.deviceIndependentSize().toSize());
    return label;
}

} // namespace

KES_SCREENSHOT("message-question") {
    return Box(QMessageBox::Question, QStringLiteral("Are you sure want to close Tavelin?"),
               QMessageBox::Yes | QMessageBox::No);
}

KES_SCREENSHOT("message-information") {
    return Box(QMessageBox::Information,
               QStringLiteral("The working directory is moved or deleted. Please select the "
                              "working directory to continue."));
}

KES_SCREENSHOT("message-warning") {
    return Box(QMessageBox::Warning,
               SkippedFilesNotice({"/home/ann/Meeting Files/meeting2026120109000010.mtg"}).text);
}

KES_SCREENSHOT("message-error") {
    return Box(QMessageBox::Critical,
               QStringLiteral("The file /home/ann/Meeting Files/meeting2026120109000010.mtg "
                              "could not be changed: No space left on device."));
}

// Two thousand damaged files, one of them with a name that is not UTF-8; with the details
// folded and unfolded.
std::unique_ptr<QWidget> DamagedFiles(bool unfold) {
    std::vector<std::filesystem::path> files{"/home/ann/Meeting Files/bad\xff\xfe.mtg"};
    for (int i = 1; i < 2000; ++i) {
        files.emplace_back("/home/ann/Meeting Files/meeting" +
                           std::to_string(2026010100000010LL + i * 1000000LL) + ".mtg");
    }
    const CSkippedFilesNotice notice = SkippedFilesNotice(files);
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning,
                                             QStringLiteral(TAVELIN_NAME_AND_VERSION), notice.text,
                                             QMessageBox::Ok);
    box->setDetailedText(notice.details);
    if (unfold) {
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole) {
                button->click();
            }
        }
    }
    return box;
}

KES_SCREENSHOT("message-damaged-files") {
    return DamagedFiles(false);
}

KES_SCREENSHOT("message-damaged-files-details") {
    return DamagedFiles(true);
}

KES_SCREENSHOT("toolbar") {
    return ToolBar();
}
