#include "search/FolderFiles.h"

#include "store/FileDescriptor.h"

#include "store/FileIo.h"
#include "store/WorkingDirectory.h"

#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct CNamePattern {
    std::string_view prefix;
    std::string_view extension;
};

constexpr std::string_view meetingPrefix = "meeting";
constexpr std::string_view meetingExtension = ".mtg";
constexpr std::array<CNamePattern, 4> contentPatterns = {{
    {"agenda", ".agd"},
    {"Attendees", ".atn"},
    {"kes", ".kes"},
    {"todo", ".tdo"},
}};

bool EndsWithNoCase(std::string_view name, std::string_view tail) {
    if (name.size() < tail.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - tail.size());
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = end[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != tail[i]) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> IdBetween(std::string_view name, std::size_t prefix,
                                     std::size_t extension) {
    if (name.size() <= prefix + extension) {
        return std::nullopt;
    }
    const std::string_view id = name.substr(prefix, name.size() - prefix - extension);
    if (!IsUsableMeetingId(id)) {
        return std::nullopt;
    }
    return std::string(id);
}

} // namespace

bool IsMeetingFileName(std::string_view name) {
    return name.starts_with(meetingPrefix) && EndsWithNoCase(name, meetingExtension);
}

std::optional<std::string> MeetingIdOfFileName(std::string_view name) {
    if (IsMeetingFileName(name)) {
        return IdBetween(name, meetingPrefix.size(), meetingExtension.size());
    }
    for (const CNamePattern& pattern : contentPatterns) {
        if (name.starts_with(pattern.prefix) && name.ends_with(pattern.extension)) {
            return IdBetween(name, pattern.prefix.size(), pattern.extension.size());
        }
    }
    return std::nullopt;
}

std::string MeetingFileNameOf(std::string_view meetingId) {
    std::string name(meetingPrefix);
    name.append(meetingId).append(meetingExtension);
    return name;
}

std::vector<std::string> ContentFileNamesOf(std::string_view meetingId) {
    std::vector<std::string> names;
    names.reserve(contentPatterns.size());
    for (const CNamePattern& pattern : contentPatterns) {
        std::string name(pattern.prefix);
        name.append(meetingId).append(pattern.extension);
        names.push_back(std::move(name));
    }
    return names;
}

std::vector<CListedFile> ListMeetingFiles(int folder, const std::atomic<bool>& cancelled) {
    std::vector<CListedFile> files;
    // A descriptor of its own: readdir moves the position of the one it reads.
    const int own = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = own < 0 ? nullptr : ::fdopendir(own);
    if (dir == nullptr) {
        if (own >= 0) {
            ::close(own);
        }
        return files;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (cancelled.load(std::memory_order_relaxed)) {
            break;
        }
        if (entry->d_type != DT_REG && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
            continue;
        }
        std::optional<std::string> id = MeetingIdOfFileName(entry->d_name);
        struct stat info {};
        if (!id || ::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0 ||
            !S_ISREG(info.st_mode)) {
            continue;
        }
        files.push_back(CListedFile{entry->d_name, std::move(*id), StampOf(info)});
    }
    ::closedir(dir);
    return files;
}

CFileStamp StampOf(const struct stat& info) {
    return CFileStamp{static_cast<std::int64_t>(info.st_size),
                      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 +
                          info.st_mtim.tv_nsec};
}

bool ReadStampedFile(int folder, const std::string& name, std::string& bytes, CFileStamp& stamp) {
    bytes.clear();
    // Non-blocking, so that a pipe put in a data file's place cannot stall the reader.
    const CFileDescriptor file(::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > maxDataFileSize) {
        return false;
    }
    stamp = StampOf(info);
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t count = ::read(file.Get(), bytes.data() + got, bytes.size() - got);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            bytes.clear();
            return false;
        }
        if (count == 0) {
            break;
        }
        got += static_cast<std::size_t>(count);
    }
    bytes.resize(got);
    return true;
}
