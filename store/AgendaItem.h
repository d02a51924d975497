#pragma once

#include "store/DateTime.h"

#include <string>

// One agenda entry: only the time of day of `time` is ever shown.
struct CAgendaItem {
    CDateTime time;
    std::string text;

    friend bool operator==(const CAgendaItem&, const CAgendaItem&) = default;
};
