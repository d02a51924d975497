#pragma once

#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// The few pieces of SQLite's C API every connection of the index uses; each failure becomes a
// CSearchIndexError, a damaged file told apart from any other failure.

// Opens `file` with `flags`, never through a link.
sqlite3* OpenIndexConnection(const std::filesystem::path& file, int flags);
// Runs `sql` (several statements allowed).
void ExecuteSql(sqlite3* db, const char* sql);
[[noreturn]] void FailSql(sqlite3* db, int code, const char* what);
bool IsDamageCode(int code);

// Binds, steps and resets one prepared statement; the statement stays prepared.
class CStep {
public:
    CStep(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    ~CStep();
    CStep(const CStep&) = delete;
    CStep& operator=(const CStep&) = delete;

    // Texts and blobs are bound without a copy (SQLITE_STATIC): they must outlive the step, so
    // a temporary string is refused at compile time.
    CStep& Bind(int index, std::string&& text) = delete;
    CStep& BindBlob(int index, std::string&& bytes) = delete;
    CStep& Bind(int index, std::string_view text);
    CStep& BindBlob(int index, std::string_view bytes);
    CStep& Bind(int index, long long value);
    // True while there is a row.
    bool Next();
    void Run() {
        while (Next()) {
        }
    }
    long long Integer(int column) const;
    bool IsNull(int column) const;
    std::string Text(int column) const;

private:
    void Check(int code);

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
};

// Commits on Commit(), rolls back when left otherwise.
class CTransaction {
public:
    explicit CTransaction(sqlite3* db) : m_db(db) { ExecuteSql(db, "BEGIN IMMEDIATE"); }
    ~CTransaction();
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;
    void Commit() {
        ExecuteSql(m_db, "COMMIT");
        m_done = true;
    }

private:
    sqlite3* m_db;
    bool m_done = false;
};
