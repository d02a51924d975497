#include "store/FileCalls.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

CFileCalls*& Override() {
    static CFileCalls* calls = nullptr;
    return calls;
}

} // namespace

int CFileCalls::Open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

ssize_t CFileCalls::Write(int fd, const void* data, size_t size) {
    return ::write(fd, data, size);
}

int CFileCalls::Fsync(int fd) {
    return ::fsync(fd);
}

int CFileCalls::SyncFilesystem(int fd) {
    return ::syncfs(fd);
}

int CFileCalls::Close(int fd) {
    return ::close(fd);
}

int CFileCalls::Rename(const char* from, const char* to) {
    return ::rename(from, to);
}

int CFileCalls::Unlink(const char* path) {
    return ::unlink(path);
}

CFileCalls& FileCalls() {
    static CFileCalls system;
    CFileCalls* calls = Override();
    return calls != nullptr ? *calls : system;
}

void SetFileCalls(CFileCalls* calls) {
    Override() = calls;
}
