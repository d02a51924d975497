#pragma once

#include "store/DateTime.h"

class QWidget;

// What the calendar page asks of each of its five stacked lists, so that it treats them
// alike: the widget to show or hide, a fill from the store for a date, and a refill with
// what the list showed last.
class CCalendarList {
public:
    virtual ~CCalendarList() = default;

    virtual QWidget* GetWidget() = 0;
    virtual void Fill(const CDateTime& date) = 0;
    virtual void Refresh() = 0;
};
