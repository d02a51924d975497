#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

CTempFolder::CTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavelin-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
}

CTempFolder::~CTempFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

void CTempFolder::WriteFile(std::string_view name, std::string_view bytes) const {
    std::ofstream out(m_path / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string CTempFolder::ReadFile(std::string_view name) const {
    std::ifstream in(m_path / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool CTempFolder::Exists(std::string_view name) const {
    return std::filesystem::exists(m_path / name);
}
