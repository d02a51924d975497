#pragma once

#include "bench/MeetingTexts.h"
#include "store/ContentFiles.h"
#include "store/DateTime.h"
#include "store/MeetingFile.h"

#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

// Folders of meetings for the benchmarks, written with plain writes: the program's own saves
// flush every file, which would take far longer than what is measured.
namespace BenchFolder {

inline std::filesystem::path MakeTemporaryFolder(const char* name) {
    std::string pattern = (std::filesystem::temp_directory_path() / name).string() + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}

inline void WritePlain(const std::filesystem::path& file, const std::string& bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!written) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

// The `i`th meeting of a folder: an hour after the one before, with texts as people write them.
inline CMeeting MeetingNumber(int i, CMeetingTexts& text) {
    const CDateTime start(2004, 3, 5, 9, 0, 0);
    CMeeting record(start.AddSeconds(i * 3600LL));
    record.id = MakeMeetingIdAt(start.AddSeconds(i));
    record.title = text.Words(4);
    record.reference = "REF-" + std::to_string(i);
    record.venue = "Room " + std::to_string(i % 40);
    record.presidedBy = text.Words(2);
    record.notes = text.Words(12);
    record.icon = i % 72;
    return record;
}

// `count` meetings, each with all four content files: 5 agenda items, 6 attendees, 5 minutes
// and 3 todos (the first open, the others open or done at random).
inline void WriteFullMeetings(const std::filesystem::path& folder, int count) {
    CMeetingTexts text;
    for (int i = 0; i < count; ++i) {
        const CMeeting record = MeetingNumber(i, text);
        const std::string& id = record.id;
        WritePlain(folder / ("meeting" + id + ".mtg"), EncodeMeeting(record));
        std::vector<CAgendaItem> agenda;
        std::vector<std::string> attendees;
        std::vector<std::string> minutes;
        std::vector<CTodoItem> todos;
        for (int k = 0; k < 5; ++k) {
            agenda.push_back({record.date, text.Words(5)});
        }
        for (int k = 0; k < 6; ++k) {
            attendees.push_back(text.Words(2));
        }
        for (int k = 0; k < 5; ++k) {
            minutes.push_back(text.Words(12));
        }
        for (int k = 0; k < 3; ++k) {
            todos.push_back({text.Words(6), static_cast<std::int32_t>(text.Next() % 3),
                             k == 0 ? 0 : static_cast<std::int32_t>(text.Next() % 2)});
        }
        WritePlain(folder / ("agenda" + id + ".agd"), EncodeAgenda(agenda));
        WritePlain(folder / ("Attendees" + id + ".atn"), EncodeStringList(attendees));
        WritePlain(folder / ("kes" + id + ".kes"), EncodeStringList(minutes));
        WritePlain(folder / ("todo" + id + ".tdo"), EncodeTodos(todos));
    }
}

} // namespace BenchFolder
