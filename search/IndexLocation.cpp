#include "search/IndexLocation.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

bool PrepareCacheFolder(const std::filesystem::path& cacheFolder) {
    std::error_code error;
    std::filesystem::create_directories(cacheFolder.parent_path(), error);
    if (::mkdir(cacheFolder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    // The checks and the repair are made on the folder opened, never through a link.
    const int fd = ::open(cacheFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool sound = ::fstat(fd, &info) == 0 && info.st_uid == ::geteuid();
    if (sound && (info.st_mode & 07777) != 0700) {
        sound = ::fchmod(fd, 0700) == 0;
    }
    ::close(fd);
    return sound;
}
