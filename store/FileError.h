#pragma once

#include <stdexcept>
#include <string>

// A file of the working directory could not be written or removed. Carries the file's path
// and the system's reason so that the user is told both.
class CFileError : public std::runtime_error {
public:
    CFileError(std::string path, std::string reason)
        : std::runtime_error(path + ": " + reason), m_path(std::move(path)),
          m_reason(std::move(reason)) {}

    const std::string& GetPath() const { return m_path; }
    const std::string& GetReason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
};
