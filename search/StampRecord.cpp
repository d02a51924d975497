#include "search/StampRecord.h"

#include <cstdint>

namespace {

// A name the program writes is its place in this list: the meeting file, then the four
// content files; any other name follows the tag, its length first.
constexpr unsigned char otherName = 5;

std::vector<std::string> KnownNames(std::string_view meetingId) {
    std::vector<std::string> names = ContentFileNamesOf(meetingId);
    names.insert(names.begin(), MeetingFileNameOf(meetingId));
    return names;
}

void PutNumber(std::string& record, std::uint64_t value) {
    while (value >= 0x80) {
        record += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    record += static_cast<char>(value);
}

bool TakeNumber(std::string_view& record, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64 && !record.empty(); shift += 7) {
        const auto byte = static_cast<unsigned char>(record.front());
        record.remove_prefix(1);
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string EncodeStampRecord(std::string_view meetingId,
                              const std::vector<std::pair<std::string, CFileStamp>>& files) {
    const std::vector<std::string> known = KnownNames(meetingId);
    std::string record;
    for (const auto& [name, stamp] : files) {
        std::size_t tag = 0;
        while (tag < known.size() && known[tag] != name) {
            ++tag;
        }
        record += static_cast<char>(tag < known.size() ? tag : otherName);
        if (tag == known.size()) {
            PutNumber(record, name.size());
            record += name;
        }
        PutNumber(record, static_cast<std::uint64_t>(stamp.size));
        PutNumber(record, static_cast<std::uint64_t>(stamp.modifiedNs));
    }
    return record;
}

bool DecodeStampRecord(std::string_view meetingId, std::string_view record,
                       std::unordered_map<std::string, CFileStamp>& stamps) {
    const std::vector<std::string> known = KnownNames(meetingId);
    while (!record.empty()) {
        const auto tag = static_cast<unsigned char>(record.front());
        record.remove_prefix(1);
        std::string name;
        if (tag < known.size()) {
            name = known[tag];
        } else {
            std::uint64_t length = 0;
            if (tag != otherName || !TakeNumber(record, length) || length > record.size()) {
                return false;
            }
            name = record.substr(0, length);
            record.remove_prefix(length);
        }
        std::uint64_t size = 0;
        std::uint64_t modified = 0;
        if (!TakeNumber(record, size) || !TakeNumber(record, modified)) {
            return false;
        }
        stamps[std::move(name)] =
            CFileStamp{static_cast<std::int64_t>(size), static_cast<std::int64_t>(modified)};
    }
    return true;
}
