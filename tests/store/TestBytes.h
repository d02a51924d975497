#pragma once

#include <initializer_list>
#include <string>

// Byte strings written out as numbers, so that expected file contents read like a hex dump.
inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}
