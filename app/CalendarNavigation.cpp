#include "app/CalendarNavigation.h"

#include "app/DateToolBar.h"
#include "app/LeftListView.h"
#include "app/SearchField.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "store/DateStep.h"
#include "store/FileError.h"
#include "ui/DesktopServices.h"
#include "ui/StringTable.h"

#include <QMainWindow>

void CCalendarNavigation::SetUpDatePicker() {
    CToolbarDateCtrl* picker = m_toolBar->GetDatePicker();
    picker->SetFormat(LoadResString(StringId::dayPickerFormat));
    picker->setToolTip(QStringLiteral("Date shown in the calendar"));
    QObject::connect(picker, &CToolbarDateCtrl::pickedDateChanged, m_window,
                     [this] { ShowPickedDate(); });
    // The picker sits in the toolbar beside those commands' buttons; their keys stay out of
    // it too.
    picker->installEventFilter(m_window);
}

CDateTime CCalendarNavigation::GetPickerDateTime() const {
    if (m_toolBar == nullptr) {
        return m_services.Now();
    }
    return m_toolBar->GetDatePicker()->GetDateTime();
}

void CCalendarNavigation::ShowPickedDate() {
    CCalendarPage& page = GetCalendarPage();
    page.SetSelectedDate(GetPickerDateTime());
    page.ShowMode(page.GetMode());
}

void CCalendarNavigation::StepCalendar(int direction) {
    CCalendarPage& page = GetCalendarPage();
    DateStep step = DateStep::month;
    switch (page.GetMode()) {
    case CCalendarPage::dayMode:
        step = DateStep::day;
        break;
    case CCalendarPage::weekMode:
        step = DateStep::week;
        break;
    case CCalendarPage::previewMode:
    case CCalendarPage::searchMode:
    case CCalendarPage::todosMode:
        return;
    default:
        break;
    }
    ShowCalendarDate(StepDate(page.GetSelectedDate(), step, direction));
}

void CCalendarNavigation::GoToToday() {
    ShowCalendarDate(m_services.Now());
}

void CCalendarNavigation::ShowCalendarDate(const CDateTime& date) {
    try {
        GetCalendarPage().GoToDate(date);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    if (m_toolBar != nullptr) {
        m_toolBar->GetDatePicker()->SetDateTime(date);
    }
    UpdateCommandStates();
}

void CCalendarNavigation::SetPickerFormat() {
    if (m_splitter == nullptr || m_calendar == nullptr || m_toolBar == nullptr) {
        return;
    }
    const int mode = GetCalendarPage().GetMode();
    const bool dayOrWeek = mode == CCalendarPage::dayMode || mode == CCalendarPage::weekMode;
    m_toolBar->GetDatePicker()->SetFormat(
        LoadResString(dayOrWeek ? StringId::dayPickerFormat : StringId::monthPickerFormat));
    // The calendar asks for the format whenever it enters a mode: the panes follow it.
    m_leftPane->SetCurrentMode(mode);
    if (mode != CCalendarPage::searchMode && mode != CCalendarPage::previewMode &&
        m_searchField != nullptr) {
        // The words stay only while the results, or a meeting opened from them, are on show.
        m_searchField->Reset();
    }
    UpdateCommandStates();
}
