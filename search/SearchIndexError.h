#pragma once

#include <stdexcept>
#include <string>

// A failure of the index's database. `damaged` when the file is not (or no longer) a sound
// index: the index is then made afresh.
class CSearchIndexError : public std::runtime_error {
public:
    CSearchIndexError(const std::string& what, bool damaged)
        : std::runtime_error(what), m_damaged(damaged) {}
    bool IsDamage() const { return m_damaged; }

private:
    bool m_damaged;
};
