#include "store/FileBatch.h"

#include "store/FileCalls.h"
#include "store/FileIo.h"
#include "store/FileListener.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>

namespace {

CFileError ErrorFor(const std::filesystem::path& path, int error) {
    return CFileError(path.string(), std::strerror(error));
}

} // namespace

CFileBatch::CFileBatch(std::filesystem::path folder)
    : m_calls(FileCalls()), m_folder(folder.empty() ? "." : std::move(folder)) {}

CFileBatch::~CFileBatch() {
    if (!m_committed) {
        RemoveTemporaryFiles(0);
    }
    if (m_folderFd >= 0) {
        m_calls.Close(m_folderFd);
    }
}

void CFileBatch::RemoveTemporaryFiles(std::size_t from) {
    for (std::size_t i = from; i < m_files.size(); ++i) {
        m_calls.Unlink(m_files[i].temporary.c_str());
    }
}

void CFileBatch::Add(const std::filesystem::path& path, std::string_view bytes) {
    if (m_folderFd < 0) {
        // Opened before the first byte is written: syncfs reports the write-back errors of
        // the file system since its descriptor was opened, so one that struck a temporary
        // file before the flush is reported too.
        m_folderFd = m_calls.Open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        if (m_folderFd < 0) {
            throw ErrorFor(path, errno);
        }
    }
    CPending file{path, {}};
    if (m_files.size() == m_files.capacity()) {
        // Room first, so that a file once made is always listed (and removed on failure).
        m_files.reserve(std::max<std::size_t>(16, 2 * m_files.size()));
    }
    const int fd = CreateTemporaryFile(m_calls, path, file.temporary);
    if (fd < 0) {
        throw ErrorFor(path, errno);
    }
    const bool written = WriteAllBytes(m_calls, fd, bytes);
    int error = errno;
    // A failed close lets go of the descriptor too, and may be the first word of a full disk.
    if (m_calls.Close(fd) != 0 && written) {
        error = errno;
    } else if (written) {
        m_files.push_back(std::move(file));
        return;
    }
    m_calls.Unlink(file.temporary.c_str());
    throw ErrorFor(path, error);
}

void CFileBatch::EndGroup() {
    const std::size_t start = m_groupEnds.empty() ? 0 : m_groupEnds.back();
    if (m_files.size() > start) {
        m_groupEnds.push_back(m_files.size());
    }
}

CFileBatch::CResult CFileBatch::Commit() {
    EndGroup();
    m_committed = true;
    CResult result;
    if (m_files.empty()) {
        return result;
    }
    // The folder's descriptor names the file system to flush, and then the folder itself.
    if (m_calls.SyncFilesystem(m_folderFd) != 0) {
        // Not one name has changed: the batch is as if never begun.
        result.error = ErrorFor(m_files.front().path, errno);
        RemoveTemporaryFiles(0);
        return result;
    }
    std::size_t groupStart = 0;
    for (const std::size_t groupEnd : m_groupEnds) {
        std::size_t i = groupStart;
        while (i < groupEnd &&
               m_calls.Rename(m_files[i].temporary.c_str(), m_files[i].path.c_str()) == 0) {
            ++i;
        }
        if (i < groupEnd) {
            // A group half in place would pass for whole: its renamed files go again (they
            // are new names, so nothing older is lost), and so do the temporary files left.
            result.error = ErrorFor(m_files[i].path, errno);
            for (std::size_t renamed = groupStart; renamed < i; ++renamed) {
                m_calls.Unlink(m_files[renamed].path.c_str());
            }
            RemoveTemporaryFiles(i);
            break;
        }
        ++result.groupsKept;
        groupStart = groupEnd;
    }
    // The renames (and the take-backs) are durable once the folder is flushed; a folder that
    // cannot be flushed still holds the files, as with a single save.
    m_calls.Fsync(m_folderFd);
    // The files are in place whatever happens here: short of memory, they are told one by one.
    try {
        std::vector<std::filesystem::path> written;
        written.reserve(groupStart);
        for (std::size_t i = 0; i < groupStart; ++i) {
            written.push_back(m_files[i].path);
        }
        NotifyFilesWritten(written);
    } catch (const std::bad_alloc&) {
        for (std::size_t i = 0; i < groupStart; ++i) {
            NotifyFileWritten(m_files[i].path);
        }
    }
    m_files.clear();
    m_groupEnds.clear();
    return result;
}
