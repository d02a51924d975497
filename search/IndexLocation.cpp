#include "search/IndexLocation.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// FNV-1a: the same name for the same folder in every build and on every run.
std::uint64_t HashOf(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

} // namespace

std::filesystem::path SearchCacheFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && std::filesystem::path(cache).is_absolute()) {
        return std::filesystem::path(cache) / "tavelin";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        return {};
    }
    return std::filesystem::path(home) / ".cache" / "tavelin";
}

std::filesystem::path IndexFileFor(const std::filesystem::path& cacheFolder,
                                   const std::filesystem::path& canonicalFolder) {
    char name[40];
    std::snprintf(name, sizeof name, "search-%016llx.sqlite",
                  static_cast<unsigned long long>(HashOf(canonicalFolder.native())));
    return cacheFolder / name;
}
