#include "store/FileListener.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<CFileListener*>& Listeners() {
    static std::vector<CFileListener*> listeners;
    return listeners;
}

template <typename Call> void NotifyAll(const Call& call) noexcept {
    // A copy, so that a listener may remove itself while it is called.
    std::vector<CFileListener*> listeners;
    try {
        listeners = Listeners();
    } catch (...) {
        return; // out of memory: the change itself stands
    }
    for (CFileListener* listener : listeners) {
        try {
            call(*listener);
        } catch (...) {
            // The file was written or removed; what a listener makes of it cannot undo that.
        }
    }
}

} // namespace

void AddFileListener(CFileListener* listener) {
    std::vector<CFileListener*>& listeners = Listeners();
    if (listener != nullptr &&
        std::find(listeners.begin(), listeners.end(), listener) == listeners.end()) {
        listeners.push_back(listener);
    }
}

void RemoveFileListener(CFileListener* listener) {
    std::erase(Listeners(), listener);
}

void NotifyFileWritten(const std::filesystem::path& path) noexcept {
    if (Listeners().empty()) {
        return;
    }
    NotifyAll([&path](CFileListener& listener) { listener.FileWritten(path); });
}

void NotifyFileRemoved(const std::filesystem::path& path) noexcept {
    if (Listeners().empty()) {
        return;
    }
    NotifyAll([&path](CFileListener& listener) { listener.FileRemoved(path); });
}

void NotifyFilesWritten(const std::vector<std::filesystem::path>& paths) noexcept {
    if (Listeners().empty() || paths.empty()) {
        return;
    }
    NotifyAll([&paths](CFileListener& listener) { listener.FilesWritten(paths); });
}
