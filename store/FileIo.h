#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

class CFileCalls;

// The largest data file a reader takes in. Far beyond any meeting people keep; reading a
// larger one could build gigabytes (a minute costs more in memory than its one byte on disk),
// so such a file counts as damaged.
constexpr std::size_t maxDataFileSize = std::size_t{16} << 20;

enum class ReadStatus {
    read,
    unreadable, // missing, no regular file, or a read error: silently not there
    tooLarge,   // larger than maxDataFileSize: damaged, nothing read
};

// Reads a whole regular file into `bytes`, so that a pipe or device put in a data file's place
// can neither block nor feed the reader without end nor be taken for a file: a small file in
// one read from its start (a pipe refuses such a read), anything else only after the opened
// file says it is a regular file, and no more than the size it reports. On any status but
// `read`, `bytes` is empty.
ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// The same for the file `name` of the folder open as the descriptor `folder`. Reusing
// `bytes` saves an allocation per file.
ReadStatus ReadWholeFileAt(int folder, const char* name, std::string& bytes);

// Replaces `path` whole: writes a temporary file beside it, flushes it to disk and renames
// it over the old file. On failure the old file is untouched, no temporary file is left and
// CFileError names the file. Each save has a temporary file of its own, so two saves of one
// file at once leave one of the two whole.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// A new name for a temporary file of `path`, beside it: its name, a random part and ".tmp"
// ("meeting2004030514070910.mtg.k3Xa09Qz.tmp").
std::filesystem::path TemporaryPathFor(const std::filesystem::path& path);

// Whether a name in the working directory is that of a temporary file of a meeting or content
// file, as a save cut short by a crash leaves it.
bool IsTemporaryFileName(std::string_view name);

// Removes the temporary files that saves cut short left in `folder` (regular files only; a
// folder or link of that name stays). Returns how many went. Only for a folder no one else
// saves into at the time: the caller holds its lock.
std::size_t RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

// Removes a file; CFileError when it is missing or cannot be removed.
void RemoveFile(const std::filesystem::path& path);

// The steps of a save, for writers that store many files at once (store/FileBatch.h).

// Creates a new temporary file beside `path` (TemporaryPathFor; O_EXCL, never through a link)
// and returns its descriptor, its name in `temporary`; -1 with errno set on failure.
int CreateTemporaryFile(CFileCalls& calls, const std::filesystem::path& path,
                        std::filesystem::path& temporary);

// Writes all of `bytes`; false with errno set on failure.
bool WriteAllBytes(CFileCalls& calls, int fd, std::string_view bytes);

// Flushes the folder itself, so that renames into it are durable. A folder that cannot be
// opened this way still holds the new files, so a failure is not reported.
void FlushFolder(CFileCalls& calls, const std::filesystem::path& folder);
