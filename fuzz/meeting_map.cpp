// The meeting map driven by a sequence of inserts, replacements, removals and copies, checked
// against a plain model of its promises: 17 chains in ascending order, newest key first within
// a chain, a replaced value keeping its place, every key findable.

#include "fuzz/FuzzTarget.h"
#include "store/MeetingMap.h"

#include <array>
#include <map>
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
    for (const CMeetingMap::Entry& entry : map) {
        FuzzCheck(model.titles.contains(entry.Key()), "enumeration gives only stored keys");
    }
}

} // namespace

TAVELIN_FUZZ_TARGET(meeting_map) {
    std::string_view input = AsBytes(data, size);
    CMeetingMap map;
    CModel model;
    while (input.size() >= 2) {
        const auto op = static_cast<std::uint8_t>(input[0]);
        input.remove_prefix(1);
        const std::string key = KeyFor(input);
        auto& chain = model.chains[CMeetingMap::BucketOf(key)];
        switch (op % 6) {
        case 0:
        case 1:
        case 2: {
            // The record's own id is the key, or not (a shortcut to a meeting that is gone).
            CMeeting record(CDateTime(1.0));
            record.id = op & 8 ? key : std::string();
            record.title = std::to_string(op);
            if (!model.titles.contains(key)) {
                chain.insert(chain.begin(), key);
            }
            model.titles[key] = record.title;
            if (op & 16) {
                map.SetAt(key, record);
            } else {
                const std::string& id = record.id;
                map.SetAt(op & 8 ? std::string_view(id) : std::string_view(key), std::move(record));
            }
            break;
        }
        case 3: {
            const bool had = model.titles.erase(key) == 1;
            std::erase(chain, key);
            FuzzCheck(map.RemoveKey(key) == had, "a removal reports whether the key was there");
            break;
        }
        case 4: {
            const CMeetingMap copy = map;
            ExpectSame(copy, model);
            CMeetingMap moved = CMeetingMap(copy);
            map = std::move(moved);
            break;
        }
        default:
            if (op % 7 == 0) {
                map.RemoveAll();
                model = CModel();
            }
            break;
        }
        ExpectSame(map, model);
    }
    return 0;
}
