#include "store/FileIo.h"

#include "store/FileError.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

class CFileDescriptor {
public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    // Makes the rename itself durable; a folder that cannot be opened this way still holds
    // the new file, so a failure here is not reported.
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Reads what the opened descriptor holds: nothing unless it is a regular file, and never more
// than the size it reported, whatever happens to the file meanwhile.
ReadStatus ReadOpened(int fd, std::string& bytes) {
    bytes.clear();
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        return ReadStatus::unreadable;
    }
    if (static_cast<std::uint64_t>(info.st_size) > maxDataFileSize) {
        return ReadStatus::tooLarge;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t count = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            bytes.clear();
            return ReadStatus::unreadable;
        }
        if (count == 0) {
            break; // shrunk since: what is there is the file
        }
        got += static_cast<std::size_t>(count);
    }
    bytes.resize(got);
    return ReadStatus::read;
}

} // namespace

ReadStatus ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    // Non-blocking, so that opening a pipe put in the file's place cannot stall.
    const CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    return ReadOpened(file.Get(), bytes);
}

ReadStatus ReadWholeFileAt(int folder, const char* name, std::string& bytes) {
    const CFileDescriptor file(::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    return ReadOpened(file.Get(), bytes);
}

std::filesystem::path TemporaryPathFor(const std::filesystem::path& path) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    return temporary;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path temporary = TemporaryPathFor(path);
    CFileDescriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.Get() < 0) {
        throw CFileError(path.string(), Reason(errno));
    }
    if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0) {
        const int error = errno;
        ::close(file.Release());
        ::unlink(temporary.c_str());
        throw CFileError(path.string(), Reason(error));
    }
    if (::close(file.Release()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw CFileError(path.string(), Reason(error));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw CFileError(path.string(), Reason(error));
    }
    SyncFolder(path.parent_path());
}

void RemoveFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        throw CFileError(path.string(), Reason(EISDIR));
    }
    if (::unlink(path.c_str()) != 0) {
        throw CFileError(path.string(), Reason(errno));
    }
}
