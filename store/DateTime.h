#pragma once

#include <cstdint>

// A point in time as an OLE day count: days since midnight, 30 December 1899, with the
// time of day as the fraction. Days before that date have a negative integer part while
// the fraction still counts forward from midnight (-1.25 is 29 December 1899, 06:00).
class CDateTime {
public:
    enum Status : std::int32_t { valid = 0, invalid = 1, null = 2 };

    CDateTime() = default; // valid, day count 0
    CDateTime(double dayCount, Status status = valid) : m_dt(dayCount), m_status(status) {}
    CDateTime(int year, int month, int day, int hour, int minute, int second);

    double GetDayCount() const { return m_dt; }
    Status GetStatus() const { return m_status; }
    bool IsValid() const;

    // Components come from the day count rounded to the whole second. They are -1 for a
    // value that is not valid or lies outside the years 100 to 9999.
    struct Parts {
        int year = -1, month = -1, day = -1;
        int hour = -1, minute = -1, second = -1;
        int dayOfWeek = -1; // 1 Sunday .. 7 Saturday
    };
    // Every component from one split of the day count: for reading several of them together.
    Parts GetParts() const;
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 Sunday .. 7 Saturday

    // The same moment moved by whole seconds; keeps the day-count convention.
    CDateTime AddSeconds(long long seconds) const;

    // Seconds since 30 December 1899, 00:00 on a continuous scale (negative before it).
    long long ToSerialSeconds() const;
    static CDateTime FromSerialSeconds(long long seconds);

    friend bool operator==(const CDateTime&, const CDateTime&) = default;

private:
    double m_dt = 0.0;
    Status m_status = valid;
};
