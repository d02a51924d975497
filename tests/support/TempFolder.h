#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary directory, removed with everything in it
// when the object goes.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

    // Helpers for tests that lay out files by hand.
    void WriteFile(std::string_view name, std::string_view bytes) const;
    std::string ReadFile(std::string_view name) const;
    bool Exists(std::string_view name) const;

private:
    std::filesystem::path m_path;
};
