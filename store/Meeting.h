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
    std::string title;
    std::string venue;
    std::string presidedBy;
    std::string notes;
    // The icon fills the room the date leaves after its status: a store keeps one record per
    // meeting, and 8 bytes a record is what keeps its map entry in a smaller allocation.
    [[no_unique_address]] CDateTime date;
    std::int32_t icon = 0;

    friend bool operator==(const CMeeting&, const CMeeting&) = default;
};
