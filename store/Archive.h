#pragma once

#include "store/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The binary encoding shared by every file of the working directory: little-endian integers,
// byte strings with a 1, 3 or 7 byte length prefix, and date-times as a 32-bit status
// followed by the day count as an IEEE-754 double.

// Raised when the bytes end before a field does, or a length runs past the end.
class CArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CArchiveWriter {
public:
    void WriteInt32(std::int32_t value);
    void WriteString(std::string_view text);
    void WriteDateTime(const CDateTime& value);

    const std::string& GetBytes() const { return m_bytes; }
    std::string TakeBytes() { return std::move(m_bytes); }

private:
    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);

    std::string m_bytes;
};

// Reads from a byte range it does not own. Never allocates more than the bytes left.
class CArchiveReader {
public:
    explicit CArchiveReader(std::string_view bytes) : m_bytes(bytes) {}

    std::int32_t ReadInt32();
    std::string ReadString();
    CDateTime ReadDateTime();

    std::size_t GetRemaining() const { return m_bytes.size() - m_pos; }
    bool AtEnd() const { return m_pos == m_bytes.size(); }

private:
    std::uint8_t ReadUInt8();
    std::uint16_t ReadUInt16();
    std::uint32_t ReadUInt32();
    void Need(std::size_t count) const;

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};
