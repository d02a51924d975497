#include "store/Archive.h"

#include <bit>
#include <cstring>
#include <limits>

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559);

void CArchiveWriter::WriteUInt16(std::uint16_t value) {
    m_bytes.push_back(static_cast<char>(value & 0xFF));
    m_bytes.push_back(static_cast<char>(value >> 8));
}

void CArchiveWriter::WriteUInt32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        m_bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void CArchiveWriter::WriteInt32(std::int32_t value) {
    WriteUInt32(static_cast<std::uint32_t>(value));
}

void CArchiveWriter::WriteString(std::string_view text) {
    const std::size_t size = text.size();
    if (size < 0xFF) {
        m_bytes.push_back(static_cast<char>(size));
    } else if (size < 0xFFFE) {
        m_bytes.push_back(static_cast<char>(0xFF));
        WriteUInt16(static_cast<std::uint16_t>(size));
    } else {
        m_bytes.push_back(static_cast<char>(0xFF));
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<std::uint32_t>(size));
    }
    m_bytes.append(text);
}

void CArchiveWriter::WriteDateTime(const CDateTime& value) {
    WriteInt32(value.GetStatus());
    const auto bits = std::bit_cast<std::uint64_t>(value.GetDayCount());
    WriteUInt32(static_cast<std::uint32_t>(bits & 0xFFFFFFFFu));
    WriteUInt32(static_cast<std::uint32_t>(bits >> 32));
}

void CArchiveReader::Need(std::size_t count) const {
    if (count > GetRemaining()) {
        throw CArchiveError("unexpected end of file");
    }
}

std::uint8_t CArchiveReader::ReadUInt8() {
    Need(1);
    return static_cast<std::uint8_t>(m_bytes[m_pos++]);
}

std::uint16_t CArchiveReader::ReadUInt16() {
    Need(2);
    const auto lo = static_cast<std::uint8_t>(m_bytes[m_pos]);
    const auto hi = static_cast<std::uint8_t>(m_bytes[m_pos + 1]);
    m_pos += 2;
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

std::uint32_t CArchiveReader::ReadUInt32() {
    Need(4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(m_bytes[m_pos + i]);
    }
    m_pos += 4;
    return value;
}

std::int32_t CArchiveReader::ReadInt32() {
    return static_cast<std::int32_t>(ReadUInt32());
}

std::string CArchiveReader::ReadString() {
    std::uint64_t size = ReadUInt8();
    if (size == 0xFF) {
        size = ReadUInt16();
        if (size == 0xFFFF) {
            size = ReadUInt32();
        }
    }
    // A length is checked against what is left before anything is allocated for it.
    Need(size);
    std::string text(m_bytes.substr(m_pos, size));
    m_pos += size;
    return text;
}

CDateTime CArchiveReader::ReadDateTime() {
    const std::int32_t status = ReadInt32();
    const std::uint64_t lo = ReadUInt32();
    const std::uint64_t hi = ReadUInt32();
    const double count = std::bit_cast<double>(lo | (hi << 32));
    const auto kind = (status == CDateTime::valid || status == CDateTime::null)
                          ? static_cast<CDateTime::Status>(status)
                          : CDateTime::invalid;
    return CDateTime(count, kind);
}
