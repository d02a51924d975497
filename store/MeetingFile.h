#pragma once

#include "store/DateTime.h"
#include "store/Meeting.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// A new meeting id from the clock: year, month, day, hour, minute, second and the fixed 10.
std::string MakeMeetingId();
std::string MakeMeetingIdAt(const CDateTime& when);
// Whether `id` has the form every made id has: 16 decimal digits ending in "10".
bool IsWellFormedMeetingId(std::string_view id);

// working directory / "meeting" + id + ".mtg", the id used as given.
std::filesystem::path MeetingFilePath(std::string_view id);

std::string EncodeMeeting(const CMeeting& record);
// The record held by a meeting file's bytes; nothing when they are truncated or malformed.
std::optional<CMeeting> DecodeMeeting(std::string_view bytes);

// Writes the record's meeting file whole and returns its path. Throws CFileError.
std::filesystem::path WriteMeetingFile(const CMeeting& record);
