#pragma once

#include "store/DateTime.h"

#include <string>
#include <vector>

class CMeetingStore;

// One meeting of the week, at its place in the week's grid of hours by days.
struct CWeekSlot {
    int hour = 0;     // 0..23
    int weekday = 1;  // 1 Sunday .. 7 Saturday
    int position = 0; // 0..7 within its cell, in the store's enumeration order
    std::string id;
    std::string title;
    CDateTime date;
};

// The week (Sunday to Saturday) around one date, as plain data for the week list to paint.
struct CWeekList {
    // Sunday 00:00:00 of the week; what the column headers count their days from.
    CDateTime sunday;
    // In the store's enumeration order; at most weekCellCapacity meetings share one cell.
    std::vector<CWeekSlot> meetings;
};

inline constexpr int weekCellCapacity = 8;

// The meetings of the week that contains `date`, each placed by its rounded second (the one
// its shown weekday and hour come from). A cell keeps the first eight meetings the store
// enumerates there; the rest of that cell is not shown. Nothing for a date that is not valid.
CWeekList FillWeekList(const CMeetingStore& store, const CDateTime& date);

// Sunday 00:00:00 of the week that contains `date`, in seconds as CDateTime::ToSerialSeconds
// counts them.
long long WeekStartSecond(const CDateTime& date);

// Where a meeting dropped on the cell (weekday, hour) of its own week goes: that weekday and
// hour, with its own minute and second. The date itself when it is not valid.
CDateTime MovedToCell(const CDateTime& date, int weekday, int hour);
