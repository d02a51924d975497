#pragma once

#include "store/DateTime.h"

#include <string>
#include <vector>

class CMeetingStore;

// One row of the month's meeting list, as plain data for the list to paint.
struct CMeetingRow {
    std::string id;
    std::string title;
    std::string venue;
    CDateTime date;
    int icon = 0;
};

// The meetings of the month (same month and year) of `date`, in order of date and time;
// meetings at the same second keep the order in which the store enumerates them. Nothing
// for a date that is not valid.
std::vector<CMeetingRow> FillMeetingList(const CMeetingStore& store, const CDateTime& date);
