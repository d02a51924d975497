#include "search/IndexFileCheck.h"

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

// Opened without following a link and without waiting on a pipe; the checks are made on what
// was opened, so nothing can be swapped in between.
IndexFileState CheckOne(const std::filesystem::path& path, bool wantHeader) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? IndexFileState::absent : IndexFileState::foreign;
    }
    struct stat info {};
    bool ours = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
                info.st_nlink == 1;
    if (ours && wantHeader && info.st_size > 0) {
        static constexpr char header[] = "SQLite format 3"; // with its NUL: 16 bytes
        char start[sizeof header] = {};
        ours = ::pread(fd, start, sizeof start, 0) == static_cast<ssize_t>(sizeof start) &&
               std::memcmp(start, header, sizeof header) == 0;
    }
    ::close(fd);
    return ours ? IndexFileState::ours : IndexFileState::foreign;
}

} // namespace

IndexFileState CheckIndexFile(const std::filesystem::path& file) {
    const IndexFileState state = CheckOne(file, true);
    for (const char* tail : journalTails) {
        if (CheckOne(WithTail(file, tail), false) == IndexFileState::foreign) {
            return IndexFileState::foreign;
        }
    }
    return state;
}

void RemoveIndexFiles(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    for (const char* tail : journalTails) {
        std::filesystem::remove(WithTail(file, tail), ignored);
    }
}
