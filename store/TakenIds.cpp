#include "store/TakenIds.h"

#include <algorithm>
#include <array>
#include <dirent.h>
#include <string_view>
#include <utility>

namespace {

// The names' parts in lower case: prefix and extension of each file of a meeting.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> fileKinds{{
    {"meeting", ".mtg"},
    {"agenda", ".agd"},
    {"attendees", ".atn"},
    {"kes", ".kes"},
    {"todo", ".tdo"},
}};

} // namespace

std::unordered_set<std::string> TakenMeetingIds(const std::filesystem::path& folder) {
    std::unordered_set<std::string> ids;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return ids;
    }
    std::string lower;
    while (const dirent* entry = ::readdir(dir)) {
        lower = entry->d_name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        for (const auto& [prefix, extension] : fileKinds) {
            if (lower.size() > prefix.size() + extension.size() && lower.starts_with(prefix) &&
                lower.ends_with(extension)) {
                // The id as the name spells it: ids the program gives are digits.
                ids.emplace(
                    std::string_view(entry->d_name)
                        .substr(prefix.size(), lower.size() - prefix.size() - extension.size()));
            }
        }
    }
    ::closedir(dir);
    return ids;
}
