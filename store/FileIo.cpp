#include "store/FileIo.h"

#include "store/FileCalls.h"
#include "store/FileDescriptor.h"
#include "store/FileError.h"
#include "store/FileListener.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

constexpr std::string_view temporaryAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::size_t temporaryRandomLength = 8;
constexpr std::string_view temporaryExtension = ".tmp";

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The files of the working directory: the meeting file and its four content files.
bool EndsWithDataExtension(std::string_view name) {
    for (const std::string_view extension : {".mtg", ".agd", ".atn", ".kes", ".tdo"}) {
        if (name.size() > extension.size() && EndsWith(name, extension)) {
            return true;
        }
    }
    return false;
}

// The temporary file of one save until it has been renamed into place: every way out before
// that closes it and removes it, so a failed save leaves nothing behind.
class CTemporaryFile {
public:
    CTemporaryFile(CFileCalls& calls, int fd, std::filesystem::path path)
        : m_calls(calls), m_fd(fd), m_path(std::move(path)) {}
    ~CTemporaryFile() {
        if (m_fd >= 0) {
            m_calls.Close(m_fd);
        }
        if (!m_kept) {
            m_calls.Unlink(m_path.c_str());
        }
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    int ReleaseDescriptor() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void Keep() { m_kept = true; }

private:
    CFileCalls& m_calls;
    int m_fd;
    std::filesystem::path m_path;
    bool m_kept = false;
};

// Reads what the opened descriptor holds, checking first what it is: nothing unless it is a
// regular file, and never more than the size it reported, whatever happens to the file meanwhile.
ReadStatus ReadChecked(int fd, std::string& bytes) {
    bytes.clear();
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        return ReadStatus::unreadable;
    }
    if (static_cast<std::uint64_t>(info.st_size) > maxDataFileSize) {
        return ReadStatus::tooLarge;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t count =
            ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
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

// What the first read asks for. Meeting files and nearly all content files are far smaller,
// so one read takes them whole and nothing has to be asked about the file beforehand.
constexpr std::size_t firstReadSize = 16 * 1024;

// One positioned read from the start, which a pipe refuses outright (it has no position), so
// that a pipe put in a file's place yields nothing even while something writes into it. Only
// an answer that is no plain file's whole (nothing, or the buffer full) is looked at closer:
// an empty file, a larger one, or a device, which fills any buffer or gives nothing.
ReadStatus ReadOpened(int fd, std::string& bytes) {
    bytes.clear();
    if (fd < 0) {
        return ReadStatus::unreadable;
    }
    char buffer[firstReadSize];
    ssize_t got = 0;
    do {
        got = ::pread(fd, buffer, sizeof buffer, 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return ReadStatus::unreadable;
    }
    if (got > 0 && static_cast<std::size_t>(got) < sizeof buffer) {
        bytes.assign(buffer, static_cast<std::size_t>(got));
        return ReadStatus::read;
    }
    return ReadChecked(fd, bytes);
}

} // namespace

bool WriteAllBytes(CFileCalls& calls, int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = calls.Write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            errno = EIO; // no progress and no reason: do not wait for one
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void FlushFolder(CFileCalls& calls, const std::filesystem::path& folder) {
    // Makes the rename itself durable; a folder that cannot be opened this way still holds
    // the new file, so a failure here is not reported.
    const int fd =
        calls.Open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd >= 0) {
        calls.Fsync(fd);
        calls.Close(fd);
    }
}

int CreateTemporaryFile(CFileCalls& calls, const std::filesystem::path& path,
                        std::filesystem::path& temporary) {
    // A fresh name for every save, created only if nothing has that name: two saves of one
    // file never write into each other's temporary file, and a link planted under the name
    // cannot send the bytes anywhere else.
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = TemporaryPathFor(path);
        fd = calls.Open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        0644);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    return fd;
}

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
    static std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, temporaryAlphabet.size() - 1);
    std::string tail = ".";
    for (std::size_t i = 0; i < temporaryRandomLength; ++i) {
        tail += temporaryAlphabet[pick(source)];
    }
    tail += temporaryExtension;
    std::filesystem::path temporary = path;
    temporary += tail;
    return temporary;
}

bool IsTemporaryFileName(std::string_view name) {
    if (!EndsWith(name, temporaryExtension)) {
        return false;
    }
    name.remove_suffix(temporaryExtension.size());
    if (EndsWithDataExtension(name)) {
        return true; // the one fixed name that earlier versions wrote through
    }
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot - 1 != temporaryRandomLength) {
        return false;
    }
    return name.substr(dot + 1).find_first_not_of(temporaryAlphabet) == std::string_view::npos &&
           EndsWithDataExtension(name.substr(0, dot));
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    CFileCalls& calls = FileCalls();
    std::filesystem::path temporary;
    const int fd = CreateTemporaryFile(calls, path, temporary);
    if (fd < 0) {
        throw CFileError(path.string(), Reason(errno));
    }
    // Errors name the file the user saved; the temporary file is removed as the error leaves.
    CTemporaryFile file(calls, fd, temporary);
    if (!WriteAllBytes(calls, fd, bytes) || calls.Fsync(fd) != 0 ||
        calls.Close(file.ReleaseDescriptor()) != 0 ||
        calls.Rename(temporary.c_str(), path.c_str()) != 0) {
        throw CFileError(path.string(), Reason(errno));
    }
    file.Keep();
    FlushFolder(calls, path.parent_path());
    NotifyFileWritten(path);
}

std::size_t RemoveStaleTemporaryFiles(const std::filesystem::path& folder) {
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    std::vector<std::filesystem::path> stale;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        if (IsTemporaryFileName(entry->d_name) &&
            ::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            stale.push_back(folder / entry->d_name);
        }
    }
    ::closedir(dir);
    std::size_t removed = 0;
    for (const std::filesystem::path& path : stale) {
        removed += FileCalls().Unlink(path.c_str()) == 0 ? 1 : 0;
    }
    return removed;
}

void RemoveFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        throw CFileError(path.string(), Reason(EISDIR));
    }
    if (FileCalls().Unlink(path.c_str()) != 0) {
        throw CFileError(path.string(), Reason(errno));
    }
    NotifyFileRemoved(path);
}
