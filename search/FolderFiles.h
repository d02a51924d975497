#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What tells a changed file from an unchanged one without reading it.
struct CFileStamp {
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // modification time in nanoseconds since 1970

    friend bool operator==(const CFileStamp&, const CFileStamp&) = default;
};

struct stat;
// The stamp of a file as fstat or fstatat describes it.
CFileStamp StampOf(const struct stat& info);

// A meeting or content file of the working directory as the folder lists it.
struct CListedFile {
    std::string name;
    std::string meetingId;
    CFileStamp stamp;
};

// The meeting a file of the working directory belongs to: "meeting" + id + ".mtg" (the
// extension in any case, as the store reads it), "agenda" + id + ".agd", "Attendees" + id +
// ".atn", "kes" + id + ".kes" or "todo" + id + ".tdo". Nothing for any other name, and for an
// id no save would name alike.
std::optional<std::string> MeetingIdOfFileName(std::string_view name);
bool IsMeetingFileName(std::string_view name);

// The meeting file name the program writes, then the four content file names of a meeting
// (agenda, attendees, minutes, todos).
std::string MeetingFileNameOf(std::string_view meetingId);
std::vector<std::string> ContentFileNamesOf(std::string_view meetingId);

// Every regular meeting and content file of the folder open as the descriptor `folder`, with
// its stamp, in the order the folder lists it. Stops early once `cancelled` turns true.
std::vector<CListedFile> ListMeetingFiles(int folder, const std::atomic<bool>& cancelled);

// Reads the file `name` of the folder open as `folder` whole, with the stamp of what was read.
// False when it is missing, no regular file, larger than any data file may be, or unreadable.
bool ReadStampedFile(int folder, const std::string& name, std::string& bytes, CFileStamp& stamp);
