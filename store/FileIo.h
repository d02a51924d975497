#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Reads a whole file into `bytes`. False when it cannot be opened or read, or is no regular
// file (a missing file is the common case and is no error for the callers). A pipe or device
// given a data file's name must neither block nor feed the reader without end.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// The same for the file `name` of the folder open as the descriptor `folder`, for a scan
// that has already seen the entry is a regular file. Reusing `bytes` saves an allocation
// per file.
bool ReadWholeFileAt(int folder, const char* name, std::string& bytes);

// Replaces `path` whole: writes a temporary file beside it, flushes it to disk and renames
// it over the old file. On failure the old file is untouched and CFileError names the file.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The temporary file WriteFileAtomically writes before the rename.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& path);

// Removes a file; CFileError when it is missing or cannot be removed.
void RemoveFile(const std::filesystem::path& path);
