#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The folder that holds every meeting file. The application sets it; every file access
// reads it at the moment it builds a name.
const std::filesystem::path& GetWorkingDirectory();
void SetWorkingDirectory(std::filesystem::path folder);

// working directory + prefix + id + extension, the rule for every file of a meeting.
std::filesystem::path MeetingFilePathFor(std::string_view prefix, std::string_view id,
                                         std::string_view extension);

// Whether an id can be the stem of file names in the working directory: not empty, no path
// separator or NUL byte in it, and no blank at either end (content files and deletion trim
// the id, so such an id would name another meeting's files).
bool IsUsableMeetingId(std::string_view id);

// The id with leading and trailing white space removed, as readers and delete name files.
std::string TrimId(std::string_view id);
