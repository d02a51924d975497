// LoadAll over a small folder built from the input, checked against the plain rule it must
// keep: visit the names in string order, load what decodes into a usable id unless it holds
// another meeting's id whose own file is listed, and let the later name win.

#include "fuzz/FuzzTarget.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const ids[] = {"2004030514070910", "2004030514071010",  "2004030514000910",
                           "2004030514010810", " 2004030514070910", "a/b"};
constexpr std::size_t idCount = sizeof ids / sizeof ids[0];

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path shm = "/dev/shm";
        std::string pattern =
            ((fs::is_directory(shm) ? shm : fs::temp_directory_path()) / "tavelin-fuzz-XXXXXX")
                .string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return fs::path(pattern);
    }();
    return folder;
}

// A name for file number `index`, chosen by `selector`: the names the program writes, the
// same with the extension in capitals, renamed copies, and a name the scan must ignore.
std::string NameFor(std::uint8_t selector, std::size_t index) {
    const std::string id = ids[(selector >> 2) % 4];
    switch (selector & 3) {
    case 0:
        return "meeting" + id + ".mtg";
    case 1:
        return "meeting" + id + ".MTG";
    case 2:
        return "copy" + std::to_string(index % 4) + ".mtg";
    default:
        return "notes" + std::to_string(index) + ".txt";
    }
}

// Input: per file a selector byte, a content byte and a length byte, then that many bytes.
// Content bit 0 set: the bytes are a meeting file as they stand; clear: a meeting file is
// written with an id from the table and the bytes as its title (so that most files decode).
void BuildFolder(std::string_view input) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Folder(), error)) {
        fs::remove(entry.path(), error);
    }
    for (std::size_t index = 0; input.size() >= 3 && index < 12; ++index) {
        const auto selector = static_cast<std::uint8_t>(input[0]);
        const auto content = static_cast<std::uint8_t>(input[1]);
        const std::size_t length =
            std::min<std::size_t>(static_cast<std::uint8_t>(input[2]), input.size() - 3);
        const std::string_view bytes = input.substr(3, length);
        input.remove_prefix(3 + length);
        std::string data;
        if (content & 1) {
            data = bytes;
        } else {
            CMeeting record(CDateTime(38000.5));
            record.id = ids[(content >> 1) % idCount];
            record.title = bytes;
            data = EncodeMeeting(record);
        }
        std::ofstream(Folder() / NameFor(selector, index), std::ios::binary) << data;
    }
}

struct CExpected {
    CMeetingMap map;
    std::vector<fs::path> skipped;
};

CExpected LoadPlainly() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder())) {
        std::string name = entry.path().filename().string();
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (extension == ".mtg" && entry.is_regular_file()) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    const std::set<std::string> listed(names.begin(), names.end());
    CExpected expected;
    for (const std::string& name : names) {
        std::ifstream in(Folder() / name, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        const std::optional<CMeeting> record = DecodeMeeting(bytes);
        const std::string own = "meeting" + (record ? record->id : "") + ".mtg";
        const bool namedAlike = name.size() == own.size() && name.starts_with("meeting") &&
                                name.substr(0, name.size() - 4) == own.substr(0, own.size() - 4);
        if (!record || !IsUsableMeetingId(record->id) || (!namedAlike && listed.contains(own))) {
            expected.skipped.push_back(Folder() / name);
            continue;
        }
        expected.map.SetAt(record->id, *record);
    }
    return expected;
}

} // namespace

TAVELIN_FUZZ_TARGET(scan_folder) {
    BuildFolder(AsBytes(data, size));
    SetWorkingDirectory(Folder());
    CMeetingStore store;
    std::size_t calls = 0;
    std::size_t last = 0;
    std::size_t total = 0;
    store.LoadAll([&](std::size_t loaded, std::size_t all) {
        FuzzCheck(calls == 0 || loaded > last, "progress rises");
        FuzzCheck(loaded <= all, "progress stays within the total");
        ++calls;
        last = loaded;
        total = all;
    });
    FuzzCheck(calls >= 1 && last == total, "progress ends at the total");

    const CExpected expected = LoadPlainly();
    FuzzCheck(store.GetMap().GetKeys() == expected.map.GetKeys(),
              "the scan gives the enumeration order of a load in name order");
    for (const CMeetingMap::Entry& entry : store) {
        FuzzCheck(entry.Key() == entry.value.id, "a loaded record is stored under its own id");
        const CMeeting* other = expected.map.Find(entry.Key());
        FuzzCheck(other != nullptr && EncodeMeeting(*other) == EncodeMeeting(entry.value),
                  "of two files with one id the later name wins");
    }
    FuzzCheck(store.GetSkippedFiles() == expected.skipped,
              "the damaged files are listed once each, in name order");
    SetWorkingDirectory({});
    return 0;
}
