#pragma once

#include "store/FileListener.h"
#include <chrono>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <string>

// The meetings of the working directory that the program wrote or removed since the sync last
// asked, heard from the store as the search index hears them: a sync with nothing changed here
// then reads no folder listing. Unknown at first, after Refresh and after a while (another
// program may change the folder too): the sync then compares the whole folder once more.
class CLocalChanges : public CFileListener {
public:
    CLocalChanges();
    ~CLocalChanges() override;
    CLocalChanges(const CLocalChanges&) = delete;
    CLocalChanges& operator=(const CLocalChanges&) = delete;

    void FileWritten(const std::filesystem::path& path) override;
    void FileRemoved(const std::filesystem::path& path) override;

    // The ids changed since the last call, or nullopt when the folder must be compared whole.
    // From any thread.
    std::optional<std::set<std::string>> Take();
    // The next Take answers nullopt.
    void Forget();

    // How long a sync may go on trusting what it heard before it compares the folder again.
    static constexpr std::chrono::minutes trustFor{10};

private:
    void Heard(const std::filesystem::path& path);

    std::mutex m_lock;
    std::set<std::string> m_ids;
    bool m_known = false;
    std::chrono::steady_clock::time_point m_wholeSince;
};
