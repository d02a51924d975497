#include "store/FileIo.h"

#include "store/FileError.h"

#include <cerrno>
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

bool ReadToEnd(int fd, std::string& bytes) {
    // Data files are small: one read into a stack buffer is the common case, and a second
    // one confirms the end (a short read alone does not promise it).
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            bytes.clear();
            return false;
        }
        if (got == 0) {
            return true;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    CFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return ReadToEnd(file.Get(), bytes);
}

bool ReadWholeFileAt(int folder, const char* name, std::string& bytes) {
    bytes.clear();
    // Non-blocking, so that a pipe put in the file's place meanwhile cannot stall a scan.
    CFileDescriptor file(::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    return file.Get() >= 0 && ReadToEnd(file.Get(), bytes);
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
