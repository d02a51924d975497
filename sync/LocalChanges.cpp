#include "sync/LocalChanges.h"

#include "search/FolderFiles.h"

CLocalChanges::CLocalChanges() {
    AddFileListener(this);
}

CLocalChanges::~CLocalChanges() {
    RemoveFileListener(this);
}

void CLocalChanges::Heard(const std::filesystem::path& path) {
    if (std::optional<std::string> id = MeetingIdOfFileName(path.filename().string())) {
        const std::lock_guard lock(m_lock);
        m_ids.insert(std::move(*id));
    }
}

void CLocalChanges::FileWritten(const std::filesystem::path& path) {
    Heard(path);
}

void CLocalChanges::FileRemoved(const std::filesystem::path& path) {
    Heard(path);
}

std::optional<std::set<std::string>> CLocalChanges::Take() {
    const std::lock_guard lock(m_lock);
    const auto now = std::chrono::steady_clock::now();
    std::set<std::string> ids;
    ids.swap(m_ids);
    if (!m_known || now - m_wholeSince > trustFor) {
        m_known = true;
        m_wholeSince = now;
        return std::nullopt;
    }
    return ids;
}

void CLocalChanges::Forget() {
    const std::lock_guard lock(m_lock);
    m_known = false;
}
