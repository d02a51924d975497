#include "search/IndexFileCheck.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <system_error>

namespace {

constexpr std::array<const char*, 3> journalTails = {"-wal", "-shm", "-journal"};

std::filesystem::path WithTail(const std::filesystem::path& file, const char* tail) {
    std::filesystem::path path = file;
    path += tail;
    return path;
}

} // namespace

IndexFileState CheckIndexFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? IndexFileState::absent : IndexFileState::foreign;
    }
    struct stat info {};
    bool ours = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
                info.st_nlink == 1;
    if (ours && info.st_size > 0) {
        static constexpr char header[] = "SQLite format 3"; // with its NUL: 16 bytes
        char start[sizeof header] = {};
        ours = ::pread(fd, start, sizeof start, 0) == static_cast<ssize_t>(sizeof start) &&
               std::memcmp(start, header, sizeof header) == 0;
    }
    ::close(fd);
    return ours ? IndexFileState::ours : IndexFileState::foreign;
}

void RemoveIndexFiles(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    for (const char* tail : journalTails) {
        std::filesystem::remove(WithTail(file, tail), ignored);
    }
}
