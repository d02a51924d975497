#pragma once

#include "store/FileCalls.h"

#include <cerrno>

// Refuses to create any file, as a folder the user may not write into does.
class CNoWriteCalls : public CFileCalls {
public:
    int Open(const char*, int, mode_t) override {
        errno = EACCES;
        return -1;
    }
};

// Writes fail the way a full disk does.
class CFullDisk : public CFileCalls {
public:
    ssize_t Write(int, const void*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
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
