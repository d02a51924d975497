#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "editor/MeetingIconDialog.h"
#include "editor/MeetingSheet.h"
#include "editor/MeetingSheetPages.h"
#include "store/ContentFiles.h"
#include "store/MeetingStore.h"

#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QWizard>

namespace {

const std::string shotId = "2026120714300010";

void StoreMeeting() {
    CMeeting meeting(CDateTime(2026, 12, 7, 14, 30, 0));
    meeting.id = shotId;
    meeting.title = "Spring fair committee";
    meeting.reference = "SF-12";
    meeting.venue = "Parish hall, small room";
    meeting.presidedBy = "Ann Fletcher";
    meeting.notes = "Bring last year's accounts.\nPosters to be agreed.";
    meeting.icon = 17;
    TestStore().ModifyMeeting(meeting);
    WriteAgendaFile(shotId, {{CDateTime(2026, 12, 7, 14, 30, 0), "Opening and welcome"},
                             {CDateTime(2026, 12, 7, 14, 45, 0), "Budget for the fair"},
                             {CDateTime(2026, 12, 7, 15, 30, 0), "Any other business"}});
    WriteTodoFile(shotId,
                  {{"Book the hall", 2, 0}, {"Print posters", 1, 1}, {"Ask the school", 0, 0}});
    WriteAttendeeFile(shotId, {"Ann Fletcher", "Béla Kovács", "Carl Jensen"});
    WriteMinutesFile(shotId, {"Budget agreed: 400 for the hall.", "Ann asks the school."});
}

// A picture of a window, so that the sheet that owns it can go when the shot is taken.
std::unique_ptr<QWidget> Picture(QWidget& window) {
    window.show();
    QApplication::processEvents();
    const QPixmap pixmap = window.grab();
    auto label = std::make_unique<QLabel>();
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.deviceIndependentSize().toSize());
    return label;
}

std::unique_ptr<QWidget> WizardPage(int page) {
    StoreMeeting();
    CMeetingSheet sheet(CMeetingSheet::Mode::add, TestStore(), TestServices(), shotId,
                        MeetingSheetPages());
    auto& wizard = static_cast<QWizard&>(sheet.GetDialog());
    wizard.show();
    for (int i = 0; i < page; ++i) {
        wizard.next();
    }
    return Picture(wizard);
}

std::unique_ptr<QWidget> Tab(int tab) {
    StoreMeeting();
    CMeetingSheet sheet(CMeetingSheet::Mode::modify, TestStore(), TestServices(), shotId,
                        MeetingSheetPages());
    sheet.GetDialog().show();
    sheet.GetDialog().findChild<QTabWidget*>()->setCurrentIndex(tab);
    return Picture(sheet.GetDialog());
}

} // namespace

KES_SCREENSHOT("sheet-wizard-1-detail") {
    return WizardPage(0);
}
KES_SCREENSHOT("sheet-wizard-2-agenda") {
    return WizardPage(1);
}
KES_SCREENSHOT("sheet-wizard-3-todos") {
    return WizardPage(2);
}
KES_SCREENSHOT("sheet-wizard-4-attendees") {
    return WizardPage(3);
}
KES_SCREENSHOT("sheet-wizard-5-minutes") {
    return WizardPage(4);
}
KES_SCREENSHOT("sheet-tab-1-detail") {
    return Tab(0);
}
KES_SCREENSHOT("sheet-tab-2-agenda") {
    return Tab(1);
}
KES_SCREENSHOT("sheet-tab-3-todos") {
    return Tab(2);
}
KES_SCREENSHOT("sheet-tab-4-attendees") {
    return Tab(3);
}
KES_SCREENSHOT("sheet-tab-5-minutes") {
    return Tab(4);
}

KES_SCREENSHOT("sheet-icon-dialog") {
    return std::make_unique<CMeetingIconDialog>(17);
}
