#pragma once

#include "app/FrameRoom.h"
#include "store/DateTime.h"

// The calendar's date and the toolbar's date picker, kept together: the picker's date shown,
// a step back or forward, today, and the picker's format for the mode on show.
class CCalendarNavigation : public CFrameRoom {
public:
    explicit CCalendarNavigation(CFrameParts& parts) : CFrameRoom(parts) {}

    // The picker's format and tooltip, and the calendar following it.
    void SetUpDatePicker();
    CDateTime GetPickerDateTime() const;
    void ShowPickedDate();
    // Back or forward by the shown view's step: a day, a week, or a month (the meeting list
    // and the month grid); the date picker follows. The preview has no step.
    void StepCalendar(int direction);
    // The calendar and the date picker go to the services' "now".
    void GoToToday();
    // The calendar went to `date`: the page refills, the date picker shows it.
    void ShowCalendarDate(const CDateTime& date);
    // The calendar entered a mode: the picker's format and the panes follow it.
    void SetPickerFormat();
};
