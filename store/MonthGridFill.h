#pragma once

#include "store/DateTime.h"

#include <array>
#include <string>

class CMeetingStore;

// The month grid as plain data: six weeks of seven days, Sunday first, around one month.
// Cells are numbered row × 7 + column.
struct CMonthGrid {
    static constexpr int rows = 6;
    static constexpr int columns = 7;
    static constexpr int cellCount = rows * columns;

    // The cell of day 1 of the month: its column, and row 1 when that day is a Sunday (the
    // grid then starts a whole week earlier), else row 0.
    int firstDayColumn = 0;
    int firstDayRow = 0;
    // The cell of day 1 of the following month.
    int nextMonthColumn = 0;
    int nextMonthRow = 0;
    // Midnight of the Sunday in row 0, column 0.
    CDateTime gridStart;
    // Day of the month per cell, 0 for a cell with no date (a grid that was not filled).
    std::array<int, cellCount> days{};
    // Meetings per cell.
    std::array<int, cellCount> counts{};

    // Whether a cell shows a day of the month the grid was filled for, rather than one of
    // the grey days before and after it.
    bool InMonth(int cell) const;
    // Midnight of a cell's date.
    CDateTime CellDate(int cell) const;
};

// The grid around the month of `date`, with the meetings of each day counted. The last
// second of the grid (41 days 23:59:59 after its start) is not counted. An empty grid for a
// date that is not valid.
CMonthGrid FillMonthGrid(const CMeetingStore& store, const CDateTime& date);

// The titles of the meetings on the day of `date`, in the store's enumeration order, joined
// by CR LF, the line break of every stored text; empty when none falls on that day.
std::string DayTipText(const CMeetingStore& store, const CDateTime& date);
