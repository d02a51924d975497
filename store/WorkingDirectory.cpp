#include "store/WorkingDirectory.h"

namespace {

std::filesystem::path& Folder() {
    static std::filesystem::path folder;
    return folder;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

const std::filesystem::path& GetWorkingDirectory() {
    return Folder();
}

void SetWorkingDirectory(std::filesystem::path folder) {
    Folder() = std::move(folder);
}

std::filesystem::path MeetingFilePathFor(std::string_view prefix, std::string_view id,
                                         std::string_view extension) {
    std::string name;
    name.reserve(prefix.size() + id.size() + extension.size());
    name.append(prefix).append(id).append(extension);
    return Folder() / name;
}

bool IsUsableMeetingId(std::string_view id) {
    return !id.empty() && id.find('/') == std::string_view::npos &&
           id.find('\0') == std::string_view::npos && !IsBlank(id.front()) && !IsBlank(id.back());
}

std::string TrimId(std::string_view id) {
    while (!id.empty() && IsBlank(id.front())) {
        id.remove_prefix(1);
    }
    while (!id.empty() && IsBlank(id.back())) {
        id.remove_suffix(1);
    }
    return std::string(id);
}
