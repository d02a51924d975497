#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Reads a whole file into `bytes`. False when it cannot be opened or read (a missing file is
// the common case and is no error for the callers).
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Replaces `path` whole: writes a temporary file beside it, flushes it to disk and renames
// it over the old file. On failure the old file is untouched and CFileError names the file.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The temporary file WriteFileAtomically writes before the rename.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& path);

// Removes a file; CFileError when it is missing or cannot be removed.
void RemoveFile(const std::filesystem::path& path);
