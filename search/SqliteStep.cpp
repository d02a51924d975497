#include "search/SqliteStep.h"

#include "search/SearchIndexError.h"

#include <sqlite3.h>

sqlite3* OpenIndexConnection(const std::filesystem::path& file, int flags) {
    sqlite3* db = nullptr;
    // Never through a link, even one planted after the file was looked at.
    const int code = sqlite3_open_v2(file.c_str(), &db,
                                     flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (code != SQLITE_OK) {
        const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close(db);
        throw CSearchIndexError("open " + file.string() + ": " + message, IsDamageCode(code));
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

bool IsDamageCode(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

void FailSql(sqlite3* db, int code, const char* what) {
    const std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw CSearchIndexError(std::string(what) + ": " + reason, IsDamageCode(code), reason);
}

void ExecuteSql(sqlite3* db, const char* sql) {
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        FailSql(db, code, sql);
    }
}

CStep::~CStep() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

CStep& CStep::Bind(int index, std::string_view text) {
    Check(sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_STATIC));
    return *this;
}

CStep& CStep::BindBlob(int index, std::string_view bytes) {
    Check(sqlite3_bind_blob(m_statement, index, bytes.data(), static_cast<int>(bytes.size()),
                            SQLITE_STATIC));
    return *this;
}

CStep& CStep::Bind(int index, long long value) {
    Check(sqlite3_bind_int64(m_statement, index, value));
    return *this;
}

bool CStep::Next() {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code != SQLITE_DONE) {
        FailSql(m_db, code, sqlite3_sql(m_statement));
    }
    return false;
}

long long CStep::Integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

bool CStep::IsNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::string CStep::Text(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
    return std::string(data != nullptr ? data : "",
                       static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

void CStep::Check(int code) {
    if (code != SQLITE_OK) {
        FailSql(m_db, code, "bind");
    }
}

CTransaction::~CTransaction() {
    if (!m_done) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}
