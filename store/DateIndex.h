#pragma once

#include "store/MeetingMap.h"

#include <cstddef>
#include <optional>
#include <vector>

// The entries of a meeting map by the second of their date, so that the meetings of a day, a
// week or a month are found without walking every meeting. A date that is not valid is filed
// nowhere. Whoever changes the map keeps the index in step: the index only holds addresses.
//
// One sorted array: 16 bytes a meeting, a binary search per band, and a change moves at most
// the array's tail (1.6 MB at 100,000 meetings, a fraction of a millisecond; each change
// also writes a file).
class CDateIndex {
public:
    using Entry = CMeetingMap::Entry;

    // The second a record is filed under: its date rounded to the whole second, on the scale
    // of CDateTime::ToSerialSeconds. None for a date that is not valid.
    static std::optional<long long> SecondOf(const CMeeting& record);

    void Clear();
    // Every entry of `map`, in one pass and one sort.
    void Rebuild(const CMeetingMap& map);

    // A bulk fill: room for `count` entries, then Append each new entry, then Sort once.
    void Reserve(std::size_t count);
    void Append(const Entry& entry);
    void Sort();

    // Room for one more entry, asked before the map changes, so that the Insert that follows
    // the change cannot fail and leave the two apart.
    void ReserveOneMore();
    // Files a new entry under its date.
    void Insert(const Entry& entry);
    // Takes out an entry that was filed under `second` (its date before it changed).
    void Erase(const Entry& entry, std::optional<long long> second);
    // Files again an entry whose record was replaced; `second` is where it was filed before.
    void Refile(const Entry& entry, std::optional<long long> second);

    // The entries whose second lies in [first, end), in the map's enumeration order. Asked
    // in the middle of a bulk fill (a load's progress report lets the window system run),
    // it looks at every entry filed so far.
    std::vector<const Entry*> InBand(long long first, long long end) const;

    std::size_t GetCount() const { return m_items.size(); }

private:
    struct Item {
        long long second;
        const Entry* entry;
    };
    static bool Before(const Item& a, const Item& b);

    std::vector<Item> m_items; // by second, then by address, once sorted
    bool m_sorted = true;      // false during a bulk fill
};
