#include "export/ExportFile.h"

#include "store/FileCalls.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "ui/DesktopServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

// Links followed before a target counts as a loop, as the system counts them.
constexpr int maxLinks = 40;

[[noreturn]] void Fail(const fs::path& path, int error) {
    throw CFileError(path.string(), std::strerror(error));
}

// The file an export to `path` replaces: `path` itself, or, when it is a symbolic link, the
// file the links lead to (which need not exist yet), as text editors write through a link.
// `info` holds what is there; nothing for a new file.
fs::path RealTarget(const fs::path& path, std::optional<struct stat>& info) {
    fs::path target = path;
    for (int links = 0; links <= maxLinks; ++links) {
        struct stat found {};
        if (::lstat(target.c_str(), &found) != 0) {
            if (errno != ENOENT) {
                Fail(path, errno);
            }
            info.reset();
            return target;
        }
        if (!S_ISLNK(found.st_mode)) {
            // Renaming over a device or a pipe would replace it, not write to it.
            if (!S_ISREG(found.st_mode)) {
                Fail(path, S_ISDIR(found.st_mode) ? EISDIR : EINVAL);
            }
            info = found;
            return target;
        }
        std::error_code error;
        const fs::path next = fs::read_symlink(target, error);
        if (error) {
            Fail(path, error.value());
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    Fail(path, ELOOP);
}

// The descriptor of a file being written; closed when left.
class CDescriptor {
public:
    explicit CDescriptor(int fd) : m_fd(fd) {}
    ~CDescriptor() {
        if (m_fd >= 0) {
            FileCalls().Close(m_fd);
        }
    }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;
    int Get() const { return m_fd; }
    // Closes it, reporting the close's own failure (a write the disk refused late).
    bool Close() { return FileCalls().Close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

// A file with other names (hard links) is rewritten where it is, so that every name keeps
// showing the export. Room for all of it is taken first, so a full disk fails before any
// byte of the old contents is overwritten.
void WriteInPlace(const fs::path& path, const fs::path& target, const struct stat& expected,
                  std::string_view bytes) {
    CDescriptor file(FileCalls().Open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0));
    struct stat opened {};
    if (file.Get() < 0 || ::fstat(file.Get(), &opened) != 0) {
        Fail(path, errno);
    }
    if (opened.st_dev != expected.st_dev || opened.st_ino != expected.st_ino) {
        Fail(path, EAGAIN); // swapped while we looked: nothing written
    }
    const auto size = static_cast<off_t>(bytes.size());
    if (size > 0 && ::fallocate(file.Get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        Fail(path, errno);
    }
    if (!WriteAllBytes(FileCalls(), file.Get(), bytes) || ::ftruncate(file.Get(), size) != 0 ||
        FileCalls().Fsync(file.Get()) != 0 || !file.Close()) {
        Fail(path, errno);
    }
}

// A new file beside the target, with the old file's mode (and owner and group where we may
// set them), renamed over it: the old contents stay whole until the new ones are all there.
void WriteReplacing(const fs::path& path, const fs::path& target,
                    const std::optional<struct stat>& old, std::string_view bytes) {
    CFileCalls& calls = FileCalls();
    fs::path temporary;
    CDescriptor file(CreateTemporaryFile(calls, target, temporary));
    if (file.Get() < 0) {
        Fail(path, errno);
    }
    bool written = true;
    if (old) {
        if (::fchown(file.Get(), old->st_uid, old->st_gid) != 0) {
            (void)!::fchown(file.Get(), static_cast<uid_t>(-1), old->st_gid);
        }
        written = ::fchmod(file.Get(), old->st_mode & 07777) == 0;
    }
    written = written && WriteAllBytes(calls, file.Get(), bytes) && calls.Fsync(file.Get()) == 0 &&
              file.Close() && calls.Rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        const int error = errno;
        calls.Unlink(temporary.c_str());
        Fail(path, error);
    }
    FlushFolder(calls, target.parent_path());
}

} // namespace

void ReplaceExportTarget(const std::filesystem::path& path, std::string_view bytes) {
    std::optional<struct stat> old;
    const fs::path target = RealTarget(path, old);
    if (old && old->st_nlink > 1) {
        WriteInPlace(path, target, *old, bytes);
    } else {
        WriteReplacing(path, target, old, bytes);
    }
}

std::optional<QString> PickExportFile(CDesktopServices& services, const QString& filter,
                                      const QString& extension, QWidget* parent,
                                      const QString& suggestedName) {
    QString proposed = suggestedName;
    for (;;) {
        const std::optional<QString> picked =
            services.PickSaveFile(QStringLiteral("Save As"), proposed, filter, parent);
        if (!picked || picked->isEmpty()) {
            return std::nullopt;
        }
        const QString path = QFileInfo(*picked).suffix().isEmpty()
                                 ? *picked + QLatin1Char('.') + extension
                                 : *picked;
        if (!QFileInfo::exists(path) ||
            services.AskChoice(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                   .arg(QDir::toNativeSeparators(path)),
                               QStringLiteral("&Yes"), QStringLiteral("&No"), parent)) {
            return path;
        }
        // No keeps that file: the dialog comes back, at the name refused, for another one.
        proposed = path;
    }
}

QString ExportFileName(const QString& title, const QString& extension) {
    QString name = title.simplified();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.'))) {
        name = QStringLiteral("Meeting") + name;
    }
    return name + QLatin1Char('.') + extension;
}

bool WriteExportFile(const QString& path, const QByteArray& bytes, CDesktopServices& services,
                     QWidget* parent) {
    try {
        ReplaceExportTarget(QFile::encodeName(path).toStdString(),
                            std::string_view(bytes.constData(), bytes.size()));
    } catch (const CFileError& error) {
        services.ReportError(
            QStringLiteral("The file %1 could not be written: %2.")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(error.GetReason())),
            parent);
        return false;
    }
    return true;
}
