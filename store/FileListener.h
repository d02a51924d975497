#pragma once

#include <filesystem>
#include <vector>

// Hears every file the program has written or removed, after the change succeeded: the search
// index stays in step with every save, drag and delete this way without its callers knowing.
// The store calls listeners through NotifyFileWritten and NotifyFileRemoved, which swallow
// anything a listener throws: a listener never turns a successful change into a failure.
class CFileListener {
public:
    virtual ~CFileListener() = default;

    // `path` now holds new bytes (replaced whole).
    virtual void FileWritten(const std::filesystem::path& path) = 0;
    // `path` is gone.
    virtual void FileRemoved(const std::filesystem::path& path) = 0;
    // Many files written together (an import's chunk): one call, so that a listener can take
    // them in one go. By default each is heard on its own.
    virtual void FilesWritten(const std::vector<std::filesystem::path>& paths) {
        for (const std::filesystem::path& path : paths) {
            FileWritten(path);
        }
    }
};

// Listeners are process-wide, called in the order added, on the thread that made the change.
// A listener is added once; removing one not added does nothing.
void AddFileListener(CFileListener* listener);
void RemoveFileListener(CFileListener* listener);

void NotifyFileWritten(const std::filesystem::path& path) noexcept;
void NotifyFileRemoved(const std::filesystem::path& path) noexcept;
void NotifyFilesWritten(const std::vector<std::filesystem::path>& paths) noexcept;
