#include "store/WorkingDirectoryLock.h"

#include <cerrno>
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

} // namespace

CWorkingDirectoryLock::~CWorkingDirectoryLock() {
    Release();
}

CWorkingDirectoryLock::Result CWorkingDirectoryLock::Acquire(const std::filesystem::path& folder) {
    // flock rather than fcntl locks: they belong to the open file, not to the process, so a
    // second open of the file here is refused like another process would be, and closing some
    // other descriptor of the file never drops the lock. Not inherited by programs we start.
    const std::filesystem::path path = folder / fileName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        // A folder we may read but not write: look for a lock file another copy made.
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    }
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        Release();
        return Result::unavailable;
    }
    if (m_fd >= 0 && SameFile(fd, m_fd)) {
        ::close(fd);
        return Result::locked;
    }
    int status;
    do {
        status = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    if (status != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        if (!held) {
            Release();
            return Result::unavailable;
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
