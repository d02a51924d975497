#pragma once

#include <string>

// One meeting found by a search. The list shows the meeting's icon, title, date and venue
// from the store, so that a hit never shows a stale record.
struct CSearchHit {
    std::string meetingId;
    // The passage of the meeting that matches best, in UTF-8, with every matched word between
    // searchMarkBegin and searchMarkEnd.
    std::string snippet;
};

constexpr char searchMarkBegin = '\x02';
constexpr char searchMarkEnd = '\x03';
