#pragma once

#include "store/Clock.h"
#include "store/DateTime.h"

#include <cstdint>
#include <string>

// One meeting's header record. Texts are the bytes as stored in the meeting file.
struct CMeeting {
    CMeeting() : date(CurrentDateTime()) {}
    explicit CMeeting(const CDateTime& when) : date(when) {}

    std::string id;
    std::string reference;
    CDateTime date;
    std::string title;
    std::string venue;
    std::string presidedBy;
    std::string notes;
    std::int32_t icon = 0;

    friend bool operator==(const CMeeting&, const CMeeting&) = default;
};
