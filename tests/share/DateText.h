#pragma once

#include "store/DateTime.h"

#include <cstdio>
#include <string>

// A stored date as "YYYY-MM-DD hh:mm:ss", so that a failing import names the time it gave.
inline std::string When(const CDateTime& date) {
    const CDateTime::Parts p = date.GetParts();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second);
    return text;
}
