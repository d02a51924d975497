// The meeting map driven by a sequence of inserts, replacements, removals and copies, checked
// against a plain model of its promises: 17 chains in ascending order, newest key first within
// a chain, a replaced value keeping its place, every key findable. A date index kept in step
// beside it, as the store keeps one, must answer every band as a walk over the map does.

#include "fuzz/FuzzTarget.h"
#include "store/DateIndex.h"
#include "store/MeetingMap.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

struct CModel {
    std::array<std::vector<std::string>, CMeetingMap::bucketCount> chains; // newest first
    std::map<std::string, std::string> titles;

    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const auto& chain : chains) {
            keys.insert(keys.end(), chain.begin(), chain.end());
        }
        return keys;
    }
};

// Keys from a small pool, so that chains fill and keys come back after removal; a few bytes
// of the input make keys of any shape.
std::string KeyFor(std::string_view& input) {
    const auto choice = static_cast<std::uint8_t>(input[0]);
    input.remove_prefix(1);
    if (choice < 224) {
        return "20040305" + std::to_string(10000000 + choice * 97);
    }
    const std::size_t length = std::min<std::size_t>(choice - 224, input.size());
    std::string key(input.substr(0, length));
    input.remove_prefix(length);
    return key;
}

void ExpectSame(const CMeetingMap& map, const CModel& model) {
    FuzzCheck(map.GetCount() == model.titles.size(), "the count is the number of keys");
    FuzzCheck(map.GetKeys() == model.Keys(), "enumeration follows the chains, newest first");
    for (const auto& [key, title] : model.titles) {
        const CMeeting* found = map.Find(key);
        FuzzCheck(found != nullptr && found->title == title, "every key finds its record");
    }
    const CMeetingMap::Entry* previous = nullptr;
    for (const CMeetingMap::Entry& entry : map) {
        FuzzCheck(model.titles.contains(entry.Key()), "enumeration gives only stored keys");
        FuzzCheck(previous == nullptr || previous->Rank() < entry.Rank(),
                  "ranks ascend in enumeration order");
        previous = &entry;
    }
}

// A few days either side of 30 December 1899, where day counts turn negative, with fractions
// that round up into the next second or day; now and then a date that is not valid.
CDateTime DateFor(std::uint8_t op, std::uint8_t detail) {
    if (detail % 13 == 0) {
        return CDateTime(1.0, CDateTime::invalid);
    }
    const double fractions[] = {0.0, 0.25, 0.5, 0.99999999, 0.999994, 0.5 / 86400};
    const double whole = static_cast<double>(op % 5) - 2.0;
    const double fraction = fractions[detail % 6];
    return CDateTime(whole < 0 ? whole - fraction : whole + fraction);
}

void ExpectBandsAsWalk(const CMeetingMap& map, const CDateIndex& index) {
    FuzzCheck(index.GetCount() <= map.GetCount(), "the index files each entry at most once");
    for (long long first = -3 * 86400; first <= 3 * 86400; first += 43200) {
        for (const long long width : {1LL, 43200LL, 86400LL, 4 * 86400LL}) {
            std::vector<const CMeetingMap::Entry*> walk;
            for (const CMeetingMap::Entry& entry : map) {
                const std::optional<long long> second = CDateIndex::SecondOf(entry.value);
                if (second && *second >= first && *second < first + width) {
                    walk.push_back(&entry);
                }
            }
            FuzzCheck(index.InBand(first, first + width) == walk,
                      "a band holds what a walk finds, in enumeration order");
        }
    }
}

} // namespace

TAVELIN_FUZZ_TARGET(meeting_map) {
    std::string_view input = AsBytes(data, size);
    CMeetingMap map;
    CDateIndex index;
    CModel model;
    while (input.size() >= 2) {
        const auto op = static_cast<std::uint8_t>(input[0]);
        const auto detail = static_cast<std::uint8_t>(input[1]);
        input.remove_prefix(1);
        const std::string key = KeyFor(input);
        auto& chain = model.chains[CMeetingMap::BucketOf(key)];
        switch (op % 6) {
        case 0:
        case 1:
        case 2: {
            // The record's own id is the key, or not (a shortcut to a meeting that is gone).
            CMeeting record(DateFor(op, detail));
            record.id = op & 8 ? key : std::string();
            record.title = std::to_string(op);
            if (!model.titles.contains(key)) {
                chain.insert(chain.begin(), key);
            }
            model.titles[key] = record.title;
            const CMeetingMap::Entry* old = map.FindEntry(key);
            const std::optional<long long> oldSecond =
                old != nullptr ? CDateIndex::SecondOf(old->value) : std::nullopt;
            const CMeetingMap::Entry* entry = nullptr;
            if (op & 16) {
                entry = &map.SetAt(key, record);
            } else {
                const std::string& id = record.id;
                entry = &map.SetAt(op & 8 ? std::string_view(id) : std::string_view(key),
                                   std::move(record));
            }
            FuzzCheck(old == nullptr || old == entry, "a replaced value keeps its entry");
            if (old != nullptr) {
                index.Refile(*entry, oldSecond);
            } else {
                index.Insert(*entry);
            }
            break;
        }
        case 3: {
            const bool had = model.titles.erase(key) == 1;
            std::erase(chain, key);
            if (const CMeetingMap::Entry* entry = map.FindEntry(key)) {
                index.Erase(*entry, CDateIndex::SecondOf(entry->value));
            }
            FuzzCheck(map.RemoveKey(key) == had, "a removal reports whether the key was there");
            break;
        }
        case 4: {
            const CMeetingMap copy = map;
            ExpectSame(copy, model);
            CMeetingMap moved = CMeetingMap(copy);
            map = std::move(moved);
            index.Rebuild(map); // the copy's entries are new ones
            break;
        }
        default:
            if (op % 7 == 0) {
                map.RemoveAll();
                index.Clear();
                model = CModel();
            }
            break;
        }
        ExpectSame(map, model);
        ExpectBandsAsWalk(map, index);
    }
    return 0;
}
