#include "store/WorkingDirectoryLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameFile(int first, int second) {
    struct stat a {};
    struct stat b {};
    return ::fstat(first, &a) == 0 && ::fstat(second, &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

std::string KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISLNK(mode)) {
        return "a symbolic link";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return "no regular file";
}

} // namespace

CWorkingDirectoryLock::~CWorkingDirectoryLock() {
    Release();
}

std::optional<std::string> CWorkingDirectoryLock::BlockerOf(const std::filesystem::path& folder) {
    struct stat info {};
    if (::lstat((folder / fileName).c_str(), &info) != 0 || S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return KindOf(info.st_mode);
}

CWorkingDirectoryLock::Result CWorkingDirectoryLock::Refuse(Result result, std::string reason) {
    if (result == Result::unavailable) {
        Release();
    }
    m_reason = std::move(reason);
    return result;
}

CWorkingDirectoryLock::Result CWorkingDirectoryLock::Acquire(const std::filesystem::path& folder) {
    // flock rather than fcntl locks: they belong to the open file, not to the process, so a
    // second open of the file here is refused like another process would be, and closing some
    // other descriptor of the file never drops the lock. Not inherited by programs we start.
    // Never through a link and never waiting on a pipe: a lock file that is not a plain file
    // would let each copy lock something else, or nothing, and so run unguarded.
    const std::filesystem::path path = folder / fileName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    int error = errno;
    if (fd < 0) {
        // A folder we may read but not write: look for a lock file another copy made.
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    }
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        if (std::optional<std::string> blocker = BlockerOf(folder)) {
            return Refuse(Result::blocked, std::move(*blocker));
        }
        return Refuse(Result::unavailable, std::strerror(error));
    }
    m_reason.clear();
    if (m_fd >= 0 && SameFile(fd, m_fd)) {
        ::close(fd);
        return Result::locked;
    }
    int status;
    do {
        status = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    if (status != 0) {
        error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK) {
            return Refuse(Result::unavailable, std::strerror(error));
        }
        return Result::heldElsewhere;
    }
    Release();
    m_fd = fd;
    m_folder = folder;
    return Result::locked;
}

void CWorkingDirectoryLock::Release() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_folder.clear();
}
