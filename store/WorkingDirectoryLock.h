#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Keeps a second copy of the program out of the working directory this one has open: an
// advisory lock on a small file in the folder, which the system drops when the process ends
// in any way, so a crash never leaves the folder locked.
class CWorkingDirectoryLock {
public:
    enum class Result {
        locked,        // this program now holds the folder
        heldElsewhere, // another copy of the program has the folder open
        blocked,       // the lock file's name is taken by no regular file (a folder, a link, a
                       // pipe): no copy could lock the folder, so it must not be opened
        unavailable,   // no lock file can be made there (a read-only folder): none is held
    };

    // A hidden name that no scan of the folder takes for a meeting or content file.
    static constexpr std::string_view fileName = ".tavelin.lock";

    CWorkingDirectoryLock() = default;
    ~CWorkingDirectoryLock();
    CWorkingDirectoryLock(const CWorkingDirectoryLock&) = delete;
    CWorkingDirectoryLock& operator=(const CWorkingDirectoryLock&) = delete;

    // Takes the lock of `folder` in place of the one held so far. When another copy holds it
    // or the lock file's name is blocked, the lock held so far stays; when none can be made
    // there, the old one is given up, since its folder is no longer the one in use. Taking the
    // folder already held is no change, whatever path names it.
    Result Acquire(const std::filesystem::path& folder);
    void Release();

    bool IsHeld() const { return m_fd >= 0; }
    // The folder whose lock is held (empty when none is).
    const std::filesystem::path& GetFolder() const { return m_folder; }
    // Why the last Acquire that was blocked or unavailable took no lock: what takes the lock
    // file's name ("a folder"), or the system's reason. Empty after any other result.
    const std::string& GetReason() const { return m_reason; }

    // What takes the name of `folder`'s lock file when that is no regular file ("a folder",
    // "a symbolic link", "a named pipe", ...); nothing when it is a file or is not there.
    static std::optional<std::string> BlockerOf(const std::filesystem::path& folder);

private:
    Result Refuse(Result result, std::string reason);

    int m_fd = -1;
    std::filesystem::path m_folder;
    std::string m_reason;
};
