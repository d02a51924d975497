#pragma once

#include "store/FileCalls.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Passes every call on to the system and writes each down as "<kind> <path>" (kinds: open,
// opendir, write, fsync, syncfs, close, rename, unlink; a rename names both paths). From
// the `failAt`-th call of the kind `failing` on a path holding `failingPath` on, those calls
// fail with `error` instead, as on a disk that has just filled up or failed.
class CRecordingCalls : public CFileCalls {
    // Defined first: the calls below deduce their result from it.
    template <typename Call> auto Pass(const char* kind, const std::string& on, const Call& call) {
        calls.push_back(kind + (" " + on));
        if (kind == failing && on.find(failingPath) != std::string::npos && ++m_matched >= failAt) {
            errno = error;
            return decltype(call())(-1);
        }
        return call();
    }

public:
    int Open(const char* path, int flags, mode_t mode) override {
        if (beforeOpen) {
            beforeOpen(path);
        }
        const int fd = Pass((flags & O_DIRECTORY) != 0 ? "opendir" : "open", path,
                            [&] { return CFileCalls::Open(path, flags, mode); });
        if (fd >= 0) {
            m_names[fd] = path;
        }
        return fd;
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        return Pass("write", m_names[fd], [&] { return CFileCalls::Write(fd, data, size); });
    }
    int Fsync(int fd) override {
        return Pass("fsync", m_names[fd], [&] { return CFileCalls::Fsync(fd); });
    }
    int SyncFilesystem(int fd) override {
        return Pass("syncfs", m_names[fd], [&] { return CFileCalls::SyncFilesystem(fd); });
    }
    int Close(int fd) override {
        const int result = CFileCalls::Close(fd); // a failed close lets go of the file too
        return Pass("close", m_names[fd], [&] { return result; });
    }
    int Rename(const char* from, const char* to) override {
        return Pass("rename", from + std::string(" ") + to,
                    [&] { return CFileCalls::Rename(from, to); });
    }
    int Unlink(const char* path) override {
        return Pass("unlink", path, [&] { return CFileCalls::Unlink(path); });
    }

    void Fail(std::string kind, int withError, int at = 1, std::string onPath = {}) {
        failing = std::move(kind);
        error = withError;
        failAt = at;
        failingPath = std::move(onPath);
        m_matched = 0;
    }
    // The position of a call in the record; past the end when it was never made.
    std::ptrdiff_t IndexOf(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    }
    // The calls of one kind, whatever their path, and where the first and last of them came.
    std::vector<std::ptrdiff_t> PlacesOf(const std::string& kind) const {
        std::vector<std::ptrdiff_t> places;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].starts_with(kind + " ")) {
                places.push_back(static_cast<std::ptrdiff_t>(i));
            }
        }
        return places;
    }

    std::vector<std::string> calls;
    std::string failing;
    std::string failingPath;
    int failAt = 1;
    int error = EIO;
    std::function<void(const char*)> beforeOpen;

private:
    std::map<int, std::string> m_names;
    int m_matched = 0;
};

// Refuses to create any file, as a folder the user may not write into does.
class CNoWriteCalls : public CRecordingCalls {
public:
    CNoWriteCalls() { Fail("open", EACCES); }
};

// Writes fail the way a full disk does.
class CFullDisk : public CRecordingCalls {
public:
    CFullDisk() { Fail("write", ENOSPC); }
};

// Puts failing file calls in place for one scope.
template <typename Calls> class CFailingScope {
public:
    CFailingScope() { SetFileCalls(&m_calls); }
    ~CFailingScope() { SetFileCalls(nullptr); }
    CFailingScope(const CFailingScope&) = delete;
    CFailingScope& operator=(const CFailingScope&) = delete;

private:
    Calls m_calls;
};
