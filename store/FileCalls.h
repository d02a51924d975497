#pragma once

#include <sys/types.h>

// The system calls by which the store replaces and removes files. Each behaves like the call
// it is named after: -1 with errno set on failure. A test puts its own in place to see the
// order of the calls, or to make one of them fail the way a full or failing disk does.
class CFileCalls {
public:
    virtual ~CFileCalls() = default;

    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Fsync(int fd);
    // Flushes every file of the file system that holds `fd` (syncfs): one flush for a batch.
    virtual int SyncFilesystem(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
};

// The calls in use: the system's own unless a test has put others in place.
CFileCalls& FileCalls();

// Puts `calls` in place (not owned); nullptr restores the system's own.
void SetFileCalls(CFileCalls* calls);
