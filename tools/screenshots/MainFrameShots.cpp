#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "app/LeftListView.h"
#include "app/MainFrame.h"
#include "app/PreferenceDlg.h"
#include "app/RightListView.h"
#include "calendar/CalendarPage.h"
#include "calendar/MeetingListCtrl.h"
#include "store/MeetingStore.h"
#include "ui/PictureButton.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

void SeedMeetings() {
    struct Sample {
        const char* id;
        const char* title;
        const char* venue;
        int day, hour, minute, icon;
    };
    const Sample samples[] = {
        {"2026120109000010", "Budget review", "Board room, 3rd floor", 1, 9, 0, 8},
        {"2026120314000010", "Quarterly planning", "Main hall", 3, 14, 0, 3},
        {"2026120308300010", "Team stand-up", "Room 12", 3, 8, 30, 0},
        {"2026120811000010", "Supplier negotiation with Harlow & Sons", "Video call", 8, 11, 0, 1},
        {"2026121516000010", "Product launch rehearsal", "Studio B", 15, 16, 0, 12},
        {"2026122210000010", "Year-end retrospective", "Cafeteria", 22, 10, 0, 20},
    };
    for (const Sample& sample : samples) {
        CMeeting meeting(CDateTime(2026, 12, sample.day, sample.hour, sample.minute, 0));
        meeting.id = sample.id;
        meeting.title = sample.title;
        meeting.venue = sample.venue;
        meeting.icon = sample.icon;
        TestStore().ModifyMeeting(meeting);
    }
}

std::unique_ptr<CMainFrame> MakeFrame(int mode) {
    TestServices().SetNow(CDateTime(2026, 12, 6, 10, 30, 0));
    SeedMeetings();
    auto frame = std::make_unique<CMainFrame>(TestStore(), TestServices());
    frame->AddToQuickView("2026120314000010");
    frame->AddToQuickView("2026120811000010");
    frame->resize(1180, 740);
    CCalendarPage& page = frame->GetCalendarPage();
    page.GoToDate(CDateTime(2026, 12, 6, 10, 30, 0));
    page.ShowMode(mode);
    if (mode == CCalendarPage::agendaMode) {
        page.GetMeetingList().SetSelectionMark(1);
    }
    TestServices().SetNow(std::nullopt);
    return frame;
}

// Once the window is on screen: make it the active one, give `target` the focus as a click
// would (not Tab), then press `keys` on it.
void FocusAfterShow(QWidget& window, QWidget& target, const QList<Qt::Key>& keys = {}) {
    QTimer::singleShot(0, &target, [&window, &target, keys] {
        QApplication::setActiveWindow(&window);
        target.setFocus(Qt::MouseFocusReason);
        for (const Qt::Key key : keys) {
            QTest::keyClick(&target, key);
        }
    });
}

} // namespace

KES_SCREENSHOT("main-agenda") {
    return MakeFrame(CCalendarPage::agendaMode);
}
KES_SCREENSHOT("main-day") {
    return MakeFrame(CCalendarPage::dayMode);
}
KES_SCREENSHOT("main-week") {
    return MakeFrame(CCalendarPage::weekMode);
}
KES_SCREENSHOT("main-month") {
    return MakeFrame(CCalendarPage::monthMode);
}

KES_SCREENSHOT("main-preview") {
    auto frame = MakeFrame(CCalendarPage::agendaMode);
    frame->ViewMeeting("2026120314000010");
    return frame;
}

KES_SCREENSHOT("main-focus-left-pane") {
    auto frame = MakeFrame(CCalendarPage::agendaMode);
    FocusAfterShow(*frame, frame->GetLeftPane(), {Qt::Key_Down});
    return frame;
}

KES_SCREENSHOT("main-focus-agenda") {
    auto frame = MakeFrame(CCalendarPage::agendaMode);
    FocusAfterShow(*frame, frame->GetCalendarPage().GetMeetingList(), {Qt::Key_Down});
    return frame;
}

KES_SCREENSHOT("main-focus-quick-view") {
    auto frame = MakeFrame(CCalendarPage::agendaMode);
    FocusAfterShow(*frame, frame->GetQuickViewPane(), {Qt::Key_End});
    return frame;
}

KES_SCREENSHOT("main-focus-preview") {
    auto frame = MakeFrame(CCalendarPage::agendaMode);
    frame->ViewMeeting("2026120314000010");
    FocusAfterShow(*frame, *frame->GetCalendarPage().GetList(CCalendarPage::previewMode));
    return frame;
}

// A menu of the frame laid out as a panel beside nothing else, with its items enabled as they
// are while a meeting is on show; the frame lives hidden inside the picture's widget.
std::unique_ptr<QWidget> MenuShot(const char* menuName) {
    auto holder = std::make_unique<QWidget>();
    CMainFrame* frame = MakeFrame(CCalendarPage::agendaMode).release();
    frame->setParent(holder.get());
    frame->hide();
    frame->ViewMeeting("2026120314000010");
    auto* menu = frame->menuBar()->findChild<QMenu*>(QString::fromLatin1(menuName));
    menu->setParent(holder.get(), Qt::Widget);
    auto* layout = new QVBoxLayout(holder.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(menu);
    menu->show();
    return holder;
}

KES_SCREENSHOT("menu-file") {
    return MenuShot("fileMenu");
}

KES_SCREENSHOT("menu-meeting-preview") {
    return MenuShot("meetingMenu");
}

KES_SCREENSHOT("menu-tools") {
    return MenuShot("toolsMenu");
}

KES_SCREENSHOT("preference-focus-ok") {
    auto dialog = std::make_unique<CPreferenceDlg>(TestServices());
    dialog->SetMode(CPreferenceDlg::changeCurrent);
    dialog->SetChosenPath(QDir::homePath() + QStringLiteral("/Documents/Meeting Files"));
    FocusAfterShow(*dialog, *dialog->findChild<CPictureButton*>(QStringLiteral("okButton")));
    return dialog;
}

KES_SCREENSHOT("preference-first-start") {
    auto dialog = std::make_unique<CPreferenceDlg>(TestServices());
    dialog->SetMode(CPreferenceDlg::firstSelection);
    return dialog;
}

KES_SCREENSHOT("preference-change") {
    auto dialog = std::make_unique<CPreferenceDlg>(TestServices());
    dialog->SetMode(CPreferenceDlg::changeCurrent);
    dialog->SetChosenPath(QDir::homePath() + QStringLiteral("/Documents/Meeting Files"));
    return dialog;
}

// The status line after a sync that kept both sides of one meeting.
KES_SCREENSHOT("main-sync-status") {
    auto frame = MakeFrame(CCalendarPage::agendaMode);
    TestServices().SetNow(CDateTime(2026, 12, 6, 10, 30, 0));
    CSyncSummary summary;
    summary.complete = true;
    summary.conflicts = {{"Quarterly planning", CDateTime(2026, 12, 3, 14, 0, 0),
                          "2026120314000010", "2026120314000010"}};
    emit frame->GetSyncCommands().findChild<CSyncEngine*>()->syncFinished(summary);
    TestServices().SetNow(std::nullopt);
    return frame;
}
