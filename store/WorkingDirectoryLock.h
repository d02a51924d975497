#pragma once

#include <filesystem>
#include <string_view>

// Keeps a second copy of the program out of the working directory this one has open: an
// advisory lock on a small file in the folder, which the system drops when the process ends
// in any way, so a crash never leaves the folder locked.
class CWorkingDirectoryLock {
public:
    enum class Result {
        locked,        // this program now holds the folder
        heldElsewhere, // another copy of the program has the folder open
        unavailable,   // no lock file can be made there (a read-only folder): none is held
    };

    // A hidden name that no scan of the folder takes for a meeting or content file.
    static constexpr std::string_view fileName = ".tavelin.lock";

    CWorkingDirectoryLock() = default;
    ~CWorkingDirectoryLock();
    CWorkingDirectoryLock(const CWorkingDirectoryLock&) = delete;
    CWorkingDirectoryLock& operator=(const CWorkingDirectoryLock&) = delete;

    // Takes the lock of `folder` in place of the one held so far. When another copy holds it,
    // the lock held so far stays; when none can be made there, the old one is given up too,
    // since its folder is no longer the one in use. Taking the folder already held is no
    // change, whatever path names it.
    Result Acquire(const std::filesystem::path& folder);
    void Release();

    bool IsHeld() const { return m_fd >= 0; }
    // The folder whose lock is held (empty when none is).
    const std::filesystem::path& GetFolder() const { return m_folder; }

private:
    int m_fd = -1;
    std::filesystem::path m_folder;
};
