#include "search/SearchIndex.h"

#include "search/IndexFileCheck.h"
#include "search/SearchIndexError.h"
#include "search/SearchQuery.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>

namespace {

constexpr const char* schema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE meetings(row INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE);
CREATE VIRTUAL TABLE docs USING fts5(id UNINDEXED, title, reference, venue, presided, notes,
    attendees, agenda, minutes, todos, tokenize = 'unicode61 remove_diacritics 2');
CREATE TABLE todos(mrow INTEGER NOT NULL, position INTEGER NOT NULL, meeting TEXT NOT NULL,
    text BLOB NOT NULL, priority INTEGER NOT NULL, done INTEGER NOT NULL,
    PRIMARY KEY(mrow, position)) WITHOUT ROWID;
-- Holds all the open-todo list asks for, in its order: the list is one scan of it.
CREATE INDEX open_todos ON todos(priority DESC, mrow, position, meeting, text) WHERE done = 0;
CREATE TABLE files(name TEXT PRIMARY KEY, size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL)
    WITHOUT ROWID;
)sql";

// Dates are clamped to the years the program knows, with room to spare.
constexpr long long firstSecond = -70'000'000'000LL;
constexpr long long lastSecond = 300'000'000'000LL;

std::string_view ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text != nullptr ? std::string_view(text) : std::string_view();
}

// A cache needs no flush to disk: a file a crash left open is checked at the next start, and a
// lost transaction loses the documents and the file stamps together, so the next catch-up reads
// those meetings again.
constexpr const char* connectionSettings =
    "PRAGMA journal_mode = WAL; PRAGMA synchronous = OFF; PRAGMA cache_size = -32768;";

bool IsDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

[[noreturn]] void Fail(sqlite3* db, int code, const char* what) {
    const std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw CSearchIndexError(std::string(what) + ": " + reason, IsDamage(code), reason);
}

void Execute(sqlite3* db, const char* sql) {
    const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        Fail(db, code, sql);
    }
}

// Binds, steps and resets one prepared statement; the statement stays prepared.
class CStep {
public:
    CStep(sqlite3* db, sqlite3_stmt* statement) : m_db(db), m_statement(statement) {}
    ~CStep() {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
    CStep(const CStep&) = delete;
    CStep& operator=(const CStep&) = delete;

    // Texts and blobs are bound without a copy (SQLITE_STATIC): they must outlive the step, so
    // a temporary string is refused at compile time.
    CStep& Bind(int index, std::string&& text) = delete;
    CStep& BindBlob(int index, std::string&& bytes) = delete;
    CStep& Bind(int index, std::string_view text) {
        Check(sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                                SQLITE_STATIC));
        return *this;
    }
    CStep& BindBlob(int index, std::string_view bytes) {
        Check(sqlite3_bind_blob(m_statement, index, bytes.data(), static_cast<int>(bytes.size()),
                                SQLITE_STATIC));
        return *this;
    }
    CStep& Bind(int index, long long value) {
        Check(sqlite3_bind_int64(m_statement, index, value));
        return *this;
    }
    // True while there is a row.
    bool Next() {
        const int code = sqlite3_step(m_statement);
        if (code == SQLITE_ROW) {
            return true;
        }
        if (code != SQLITE_DONE) {
            Fail(m_db, code, sqlite3_sql(m_statement));
        }
        return false;
    }
    void Run() {
        while (Next()) {
        }
    }
    long long Integer(int column) const { return sqlite3_column_int64(m_statement, column); }
    bool IsNull(int column) const {
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }
    std::string Text(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        return std::string(data != nullptr ? data : "",
                           static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
    }

private:
    void Check(int code) {
        if (code != SQLITE_OK) {
            Fail(m_db, code, "bind");
        }
    }

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
};

// Commits on Commit(), rolls back when left otherwise.
class CTransaction {
public:
    explicit CTransaction(sqlite3* db) : m_db(db) { Execute(db, "BEGIN IMMEDIATE"); }
    ~CTransaction() {
        if (!m_done) {
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    CTransaction(const CTransaction&) = delete;
    CTransaction& operator=(const CTransaction&) = delete;
    void Commit() {
        Execute(m_db, "COMMIT");
        m_done = true;
    }

private:
    sqlite3* m_db;
    bool m_done = false;
};

sqlite3* OpenConnection(const std::filesystem::path& file, int flags) {
    sqlite3* db = nullptr;
    // Never through a link, even one planted after the file was looked at.
    const int code = sqlite3_open_v2(file.c_str(), &db,
                                     flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (code != SQLITE_OK) {
        const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
        sqlite3_close(db);
        throw CSearchIndexError("open " + file.string() + ": " + message, IsDamage(code));
    }
    sqlite3_busy_timeout(db, 2000);
    return db;
}

enum Statement {
    rowOfId,
    lastRowInBlock,
    insertMeeting,
    deleteMeeting,
    insertDocument,
    deleteDocument,
    insertTodo,
    deleteTodos,
    putFile,
    deleteFile,
    search,
    openTodos,
    openTodosAfter,
    addToCounts,
    statementCount
};

// The updates with their documents in the order of the rows they go to. FTS5 writes out what
// it holds in memory whenever a document comes with a lower rowid than the one before, so
// meetings put newest first (as a catch-up reads them) made a segment of one document each
// and most of a first build went on merging them. A batch naming a meeting twice keeps its
// order: the last update must win.
std::vector<const CMeetingUpdate*> InRowOrder(const std::vector<CMeetingUpdate>& updates) {
    std::vector<const CMeetingUpdate*> ordered;
    ordered.reserve(updates.size());
    std::unordered_set<std::string_view> ids;
    bool distinct = true;
    for (const CMeetingUpdate& update : updates) {
        ordered.push_back(&update);
        distinct = distinct && ids.insert(update.meetingId).second;
    }
    if (distinct) {
        const auto firstRow = [](const CMeetingUpdate* update) {
            return update->document ? CSearchIndex::FirstRowFor(update->document->dateSecond)
                                    : std::numeric_limits<long long>::min();
        };
        std::stable_sort(ordered.begin(), ordered.end(),
                         [&firstRow](const CMeetingUpdate* a, const CMeetingUpdate* b) {
                             return firstRow(a) < firstRow(b);
                         });
    }
    return ordered;
}

} // namespace

CSearchIndex::CSearchIndex(std::filesystem::path file, std::string folderKey)
    : m_file(std::move(file)), m_folderKey(std::move(folderKey)),
      m_statements(statementCount, nullptr) {
    // Only a file that may be ours is opened: SQLite's first write (the journal mode) would
    // change whatever file a planted link names.
    if (CheckIndexFile(m_file) == IndexFileState::ours) {
        try {
            m_db = OpenConnection(m_file, SQLITE_OPEN_READWRITE);
            if (IsUsable() && CountsMatch()) {
                MarkClean(false);
                return;
            }
        } catch (const CSearchIndexError&) {
            // Not an index of ours: made afresh below.
        }
        sqlite3_close(m_db);
        m_db = nullptr;
    }
    RemoveIndexFiles(m_file);
    Create();
}

CSearchIndex::~CSearchIndex() {
    try {
        MarkClean(true);
    } catch (const CSearchIndexError&) {
        // Then the next start checks the file.
    }
    for (sqlite3_stmt* statement : m_statements) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(m_db);
}

bool CSearchIndex::IsUsable() {
    Execute(m_db, connectionSettings);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT key, value FROM meta", -1, &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    bool layoutMatches = false;
    bool folderMatches = false;
    int code = SQLITE_OK;
    while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        const std::string_view key = ColumnText(statement, 0);
        const std::string_view text = ColumnText(statement, 1);
        if (key == "layout") {
            layoutMatches = text == std::to_string(layoutVersion);
        } else if (key == "folder") {
            folderMatches = text == m_folderKey;
        } else if (key == "clean") {
            m_closedCleanly = text == "1";
        }
    }
    sqlite3_finalize(statement);
    return code == SQLITE_DONE && layoutMatches && folderMatches;
}

// A cheap count at start: every meeting has its document, and the tables hold as many meetings
// and todos as the writes left there. A table dropped or rows deleted behind the index's back
// (another program, a damage SQLite's checks do not see) make the index afresh, where
// otherwise searches and the open todos would miss those meetings at every start.
bool CSearchIndex::CountsMatch() {
    sqlite3_stmt* statement = nullptr;
    const char* sql = "SELECT (SELECT count(*) FROM meetings), (SELECT count(*) FROM docs_docsize),"
                      " (SELECT count(*) FROM todos),"
                      " (SELECT value FROM meta WHERE key = 'documents'),"
                      " (SELECT value FROM meta WHERE key = 'todos')";
    bool match = sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) == SQLITE_OK &&
                 sqlite3_step(statement) == SQLITE_ROW &&
                 sqlite3_column_type(statement, 3) != SQLITE_NULL &&
                 sqlite3_column_type(statement, 4) != SQLITE_NULL;
    if (match) {
        const long long meetings = sqlite3_column_int64(statement, 0);
        match = sqlite3_column_int64(statement, 1) == meetings &&
                sqlite3_column_int64(statement, 3) == meetings &&
                sqlite3_column_int64(statement, 2) == sqlite3_column_int64(statement, 4);
    }
    sqlite3_finalize(statement);
    return match;
}

void CSearchIndex::Create() {
    m_madeAfresh = true;
    m_db = OpenConnection(m_file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    try {
        Execute(m_db, connectionSettings);
        CTransaction transaction(m_db);
        Execute(m_db, schema);
        sqlite3_stmt* statement = nullptr;
        const char* sql = "INSERT INTO meta VALUES ('layout', ?1), ('folder', ?2), "
                          "('documents', 0), ('todos', 0)";
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) {
            Fail(m_db, sqlite3_errcode(m_db), sql);
        }
        {
            // Bound texts are not copied: the layout's text lives until the step is done.
            const std::string layout = std::to_string(layoutVersion);
            CStep step(m_db, statement);
            step.Bind(1, std::string_view(layout)).Bind(2, std::string_view(m_folderKey));
            step.Run();
        }
        sqlite3_finalize(statement);
        transaction.Commit();
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        RemoveIndexFiles(m_file);
        throw;
    }
}

sqlite3_stmt* CSearchIndex::Prepared(int which, const char* sql) const {
    sqlite3_stmt*& statement = m_statements[static_cast<std::size_t>(which)];
    if (statement == nullptr && sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT,
                                                   &statement, nullptr) != SQLITE_OK) {
        Fail(m_db, sqlite3_errcode(m_db), sql);
    }
    return statement;
}

void CSearchIndex::MarkClean(bool clean) {
    if (m_db != nullptr) {
        Execute(m_db, clean ? "INSERT OR REPLACE INTO meta VALUES ('clean', '1')"
                            : "INSERT OR REPLACE INTO meta VALUES ('clean', '0')");
    }
}

long long CSearchIndex::FirstRowFor(const std::optional<long long>& dateSecond) {
    const long long second =
        dateSecond ? std::clamp(*dateSecond, firstSecond, lastSecond) : firstSecond - 1;
    return second * rowsPerSecond;
}

std::optional<long long> CSearchIndex::RowOf(const std::string& id) const {
    CStep step(m_db, Prepared(rowOfId, "SELECT row FROM meetings WHERE id = ?1"));
    step.Bind(1, std::string_view(id));
    if (step.Next()) {
        return step.Integer(0);
    }
    return std::nullopt;
}

long long CSearchIndex::FreeRowFrom(long long first) const {
    CStep step(m_db, Prepared(lastRowInBlock,
                              "SELECT max(row) FROM meetings WHERE row BETWEEN ?1 AND ?2"));
    step.Bind(1, first).Bind(2, first + rowsPerSecond - 1);
    if (!step.Next() || step.IsNull(0)) {
        return first;
    }
    const long long next = step.Integer(0) + 1;
    // A million meetings of one second would leave the block; they then sort after it.
    return next;
}

void CSearchIndex::RemoveMeeting(const std::string& id) {
    const std::optional<long long> row = RowOf(id);
    if (!row) {
        return;
    }
    CStep(m_db, Prepared(deleteDocument, "DELETE FROM docs WHERE rowid = ?1")).Bind(1, *row).Run();
    CStep(m_db, Prepared(deleteTodos, "DELETE FROM todos WHERE mrow = ?1")).Bind(1, *row).Run();
    m_todoChange -= sqlite3_changes64(m_db);
    CStep(m_db, Prepared(deleteMeeting, "DELETE FROM meetings WHERE row = ?1")).Bind(1, *row).Run();
    m_documentChange -= sqlite3_changes64(m_db);
}

void CSearchIndex::PutMeeting(const CMeetingUpdate& update) {
    const std::optional<long long> old = RowOf(update.meetingId);
    if (!update.document) {
        RemoveMeeting(update.meetingId);
        return;
    }
    const CMeetingDocument& document = *update.document;
    const long long first = FirstRowFor(document.dateSecond);
    long long row = 0;
    if (old && *old >= first && *old < first + rowsPerSecond) {
        // Same date: the meeting keeps its row, only its texts change.
        row = *old;
        CStep(m_db, Prepared(deleteDocument, "DELETE FROM docs WHERE rowid = ?1"))
            .Bind(1, row)
            .Run();
        CStep(m_db, Prepared(deleteTodos, "DELETE FROM todos WHERE mrow = ?1")).Bind(1, row).Run();
        m_todoChange -= sqlite3_changes64(m_db);
    } else {
        // New, or its date changed: a new row where the new date sorts.
        RemoveMeeting(update.meetingId);
        row = FreeRowFrom(first);
        CStep(m_db, Prepared(insertMeeting, "INSERT INTO meetings(row, id) VALUES (?1, ?2)"))
            .Bind(1, row)
            .Bind(2, std::string_view(document.id))
            .Run();
        ++m_documentChange;
    }
    CStep insert(m_db, Prepared(insertDocument,
                                "INSERT INTO docs(rowid, id, title, reference, venue, presided, "
                                "notes, attendees, agenda, minutes, todos) "
                                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"));
    insert.Bind(1, row)
        .Bind(2, std::string_view(document.id))
        .Bind(3, std::string_view(document.title))
        .Bind(4, std::string_view(document.reference))
        .Bind(5, std::string_view(document.venue))
        .Bind(6, std::string_view(document.presidedBy))
        .Bind(7, std::string_view(document.notes))
        .Bind(8, std::string_view(document.attendees))
        .Bind(9, std::string_view(document.agenda))
        .Bind(10, std::string_view(document.minutes))
        .Bind(11, std::string_view(document.todos));
    insert.Run();
    InsertTodos(row, document);
}

void CSearchIndex::InsertTodos(long long row, const CMeetingDocument& document) {
    for (std::size_t position = 0; position < document.todoItems.size(); ++position) {
        const CTodoItem& item = document.todoItems[position];
        CStep step(m_db, Prepared(insertTodo, "INSERT INTO todos(mrow, position, meeting, text, "
                                              "priority, done) VALUES (?1, ?2, ?6, ?3, ?4, ?5)"));
        step.Bind(1, row)
            .Bind(2, static_cast<long long>(position))
            .Bind(6, std::string_view(document.id))
            .BindBlob(3, item.text)
            // A priority outside Low to High counts as Low, as everywhere the todo is shown;
            // the file keeps its byte.
            .Bind(4, static_cast<long long>(item.priority >= CTodoItem::low &&
                                                    item.priority <= CTodoItem::high
                                                ? item.priority
                                                : CTodoItem::low))
            .Bind(5, item.done != 0 ? 1LL : 0LL);
        step.Run();
        ++m_todoChange;
    }
}

void CSearchIndex::Apply(const std::vector<CMeetingUpdate>& updates,
                         const std::vector<std::string>& goneFiles) {
    CTransaction transaction(m_db);
    m_documentChange = 0;
    m_todoChange = 0;
    const auto forget = [this](const std::string& name) {
        CStep(m_db, Prepared(deleteFile, "DELETE FROM files WHERE name = ?1"))
            .Bind(1, std::string_view(name))
            .Run();
    };
    for (const CMeetingUpdate* each : InRowOrder(updates)) {
        const CMeetingUpdate& update = *each;
        PutMeeting(update);
        for (const auto& [name, stamp] : update.present) {
            CStep(m_db, Prepared(putFile, "INSERT OR REPLACE INTO files(name, size, mtime_ns) "
                                          "VALUES (?1, ?2, ?3)"))
                .Bind(1, std::string_view(name))
                .Bind(2, static_cast<long long>(stamp.size))
                .Bind(3, static_cast<long long>(stamp.modifiedNs))
                .Run();
        }
        for (const std::string& name : update.absent) {
            forget(name);
        }
    }
    for (const std::string& name : goneFiles) {
        forget(name);
    }
    // What the tables should hold, kept with the stamps: rows lost behind the index's back
    // show at the next start.
    CStep(m_db, Prepared(addToCounts, "UPDATE meta SET value = value + (CASE key WHEN "
                                      "'documents' THEN ?1 ELSE ?2 END) "
                                      "WHERE key IN ('documents', 'todos')"))
        .Bind(1, m_documentChange)
        .Bind(2, m_todoChange)
        .Run();
    transaction.Commit();
}

std::vector<CSearchHit> CSearchIndex::Search(std::string_view words, std::size_t limit) const {
    std::vector<CSearchHit> hits;
    const std::string expression = MatchExpressionFor(words);
    if (expression.empty() || limit == 0) {
        return hits;
    }
    CStep step(m_db, Prepared(search, "SELECT id, snippet(docs, -1, char(2), char(3), "
                                      "'\xE2\x80\xA6', 12) FROM docs WHERE docs MATCH ?1 "
                                      "ORDER BY rowid DESC LIMIT ?2"));
    step.Bind(1, std::string_view(expression)).Bind(2, static_cast<long long>(limit));
    while (step.Next()) {
        hits.push_back(CSearchHit{step.Text(0), step.Text(1)});
    }
    return hits;
}

std::vector<COpenTodo> CSearchIndex::OpenTodos(const COpenTodo* after, std::size_t limit) const {
    std::vector<COpenTodo> todos;
    const auto read = [&todos](CStep& step) {
        while (step.Next()) {
            todos.push_back(COpenTodo{step.Text(0), static_cast<std::size_t>(step.Integer(1)),
                                      step.Text(2), static_cast<std::int32_t>(step.Integer(3)),
                                      step.Integer(4)});
        }
    };
    const auto sqlLimit = [](std::size_t count) {
        return count > static_cast<std::size_t>(INT64_MAX) ? -1LL : static_cast<long long>(count);
    };
    // Two seeks in the list's own index, each a range of it in order: the rest of the last
    // todo's priority, then the lower priorities.
    long long below = INT64_MAX;
    if (after != nullptr) {
        CStep step(m_db,
                   Prepared(openTodosAfter,
                            "SELECT meeting, position, text, priority, mrow FROM todos "
                            "WHERE done = 0 AND priority = ?1 AND (mrow, position) > (?2, ?3) "
                            "ORDER BY priority DESC, mrow, position LIMIT ?4"));
        step.Bind(1, static_cast<long long>(after->priority))
            .Bind(2, static_cast<long long>(after->meetingRow))
            .Bind(3, static_cast<long long>(after->position))
            .Bind(4, sqlLimit(limit));
        read(step);
        below = after->priority;
    }
    if (todos.size() < limit) {
        CStep step(m_db, Prepared(openTodos, "SELECT meeting, position, text, priority, mrow "
                                             "FROM todos WHERE done = 0 AND priority < ?1 "
                                             "ORDER BY priority DESC, mrow, position LIMIT ?2"));
        step.Bind(1, below).Bind(2, sqlLimit(limit - todos.size()));
        read(step);
    }
    return todos;
}

std::size_t CSearchIndex::MeetingCount() const {
    sqlite3_stmt* statement = nullptr;
    std::size_t count = 0;
    if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM meetings", -1, &statement, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        count = static_cast<std::size_t>(sqlite3_column_int64(statement, 0));
    }
    sqlite3_finalize(statement);
    return count;
}

std::optional<std::unordered_map<std::string, CFileStamp>>
CSearchIndex::ReadFileStamps(const std::filesystem::path& file, bool quickCheck) {
    std::unordered_map<std::string, CFileStamp> stamps;
    sqlite3* db = nullptr;
    if (CheckIndexFile(file) != IndexFileState::ours) {
        return std::nullopt;
    }
    try {
        db = OpenConnection(file, SQLITE_OPEN_READONLY);
    } catch (const CSearchIndexError&) {
        return std::nullopt;
    }
    bool sound = true;
    sqlite3_stmt* statement = nullptr;
    if (quickCheck) {
        sound =
            sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && ColumnText(statement, 0) == "ok";
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    if (sound && sqlite3_prepare_v2(db, "SELECT name, size, mtime_ns FROM files", -1, &statement,
                                    nullptr) == SQLITE_OK) {
        int code = SQLITE_OK;
        while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto* name = static_cast<const char*>(sqlite3_column_blob(statement, 0));
            stamps.emplace(
                std::string(name != nullptr ? name : "",
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, 0))),
                CFileStamp{sqlite3_column_int64(statement, 1), sqlite3_column_int64(statement, 2)});
        }
        sound = code == SQLITE_DONE;
    } else {
        sound = false;
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    if (!sound) {
        return std::nullopt;
    }
    return stamps;
}
