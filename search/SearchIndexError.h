#pragma once

#include <stdexcept>
#include <string>

// A failure of the index's database. `damaged` when the file is not (or no longer) a sound
// index: the index is then made afresh.
class CSearchIndexError : public std::runtime_error {
public:
    CSearchIndexError(const std::string& what, bool damaged, std::string reason = {})
        : std::runtime_error(what), m_damaged(damaged),
          m_reason(reason.empty() ? what : std::move(reason)) {}
    bool IsDamage() const { return m_damaged; }
    // SQLite's reason alone ("database or disk is full"), for the user.
    const std::string& GetReason() const { return m_reason; }

private:
    bool m_damaged;
    std::string m_reason;
};
