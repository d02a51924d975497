#include "store/DateTime.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <limits>

namespace {

// "YYYY-MM-DD hh:mm:ss wd", so that a failure shows the whole value at once.
std::string Describe(const CDateTime& when) {
    const CDateTime::Parts p = when.GetParts();
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d w%d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second, p.dayOfWeek);
    return text;
}

constexpr double oneSecond = 1.0 / 86400.0;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

// Before the epoch the day count runs backward but its fraction runs forward; components
// round to the whole second.
TEST(DateTime, ComponentsWeekdaysAndRounding) {
    const struct {
        CDateTime when;
        const char* text;
    } cases[] = {
        {CDateTime(2004, 3, 5, 14, 7, 9), "2004-03-05 14:07:09 w6"},
        {CDateTime(1.5), "1899-12-31 12:00:00 w1"}, // 1 is Sunday
        {CDateTime(2000, 2, 29, 23, 59, 59), "2000-02-29 23:59:59 w3"},
        {CDateTime(-1.25), "1899-12-29 06:00:00 w6"},
        {CDateTime(38051.5 + 0.4 * oneSecond), "2004-03-05 12:00:00 w6"},
        {CDateTime(38051.5 + 0.6 * oneSecond), "2004-03-05 12:00:01 w6"},
        {CDateTime(38052.0 - 0.3 * oneSecond), "2004-03-06 00:00:00 w7"}, // into the next day
        {CDateTime(-1.0 - 0.9999999), "1899-12-30 00:00:00 w7"},          // forward to the epoch
        {CDateTime(1850, 6, 30, 23, 59, 59), "1850-06-30 23:59:59 w1"},
        {CDateTime(100, 1, 1, 0, 0, 0), "0100-01-01 00:00:00 w6"},
        {CDateTime(9999, 12, 31, 23, 59, 59), "9999-12-31 23:59:59 w6"},
        {CDateTime(2004, 12, 31, 23, 59, 59).AddSeconds(1), "2005-01-01 00:00:00 w7"},
        {CDateTime(0.0).AddSeconds(-1), "1899-12-29 23:59:59 w6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(c.when), c.text) << c.when.GetDayCount();
    }
    EXPECT_EQ(CDateTime(2004, 3, 5, 18, 0, 0).GetDayCount(), 38051.75);
    EXPECT_EQ(CDateTime(1899, 12, 29, 6, 0, 0).GetDayCount(), -1.25);
    EXPECT_EQ(CDateTime(-1.25).AddSeconds(86400).GetDayCount(), 0.25);
}

// Values from damaged files: no components, left be by a move, and ordered without overflow.
TEST(DateTime, InvalidAndOutOfRangeValues) {
    for (const CDateTime& bad :
         {CDateTime(2003, 2, 29, 0, 0, 0), CDateTime(2004, 13, 1, 0, 0, 0),
          CDateTime(2004, 1, 1, 24, 0, 0), CDateTime(2004, 1, 1, 0, 0, 60),
          CDateTime(38051.5, CDateTime::invalid), CDateTime(38051.5, CDateTime::null),
          CDateTime(3e6), CDateTime(-7e5), CDateTime(nan), CDateTime(infinity)}) {
        EXPECT_FALSE(bad.IsValid()) << bad.GetDayCount() << " status " << bad.GetStatus();
        EXPECT_EQ(Describe(bad), "-001--1--1 -1:-1:-1 w-1") << bad.GetDayCount();
        const CDateTime moved = bad.AddSeconds(5);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(moved.GetDayCount()),
                  std::bit_cast<std::uint64_t>(bad.GetDayCount()));
        EXPECT_EQ(moved.GetStatus(), bad.GetStatus());
    }
    const long long last = CDateTime(9999, 12, 31, 23, 59, 59).ToSerialSeconds();
    EXPECT_GT(CDateTime(2.0e272).ToSerialSeconds(), last);
    EXPECT_GT(CDateTime(infinity).ToSerialSeconds(), last);
    EXPECT_LT(CDateTime(-1.0e300).ToSerialSeconds(),
              CDateTime(100, 1, 1, 0, 0, 0).ToSerialSeconds());
    EXPECT_EQ(CDateTime(nan).ToSerialSeconds(), 0);
}
