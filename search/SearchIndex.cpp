#include "search/SearchIndex.h"

#include "search/IndexFileCheck.h"
#include "search/SearchIndexError.h"
#include "search/SearchQuery.h"
#include "search/SqliteStep.h"
#include "search/StampRecord.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <unordered_set>

namespace {

// Meetings: every meeting id with a file indexed, the row of its document (none for a meeting
// file missing or damaged) and the stamps of its files in one record. The documents keep each
// word's columns but not its positions (snippets find the words in the text again, for the 200
// rows shown), with an index of every word's first letter so that one letter typed costs what
// a word does. Todos: only the open ones, in the list's own order, the text as stored.
constexpr const char* schema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE meetings(id TEXT PRIMARY KEY, row INTEGER UNIQUE, stamps BLOB NOT NULL)
    WITHOUT ROWID;
CREATE VIRTUAL TABLE docs USING fts5(title, reference, venue, presided, notes, attendees, agenda,
    minutes, todos, tokenize = 'unicode61 remove_diacritics 2', detail = column, prefix = '1');
CREATE TABLE todos(priority INTEGER NOT NULL, mrow INTEGER NOT NULL, position INTEGER NOT NULL,
    text BLOB NOT NULL, PRIMARY KEY(priority DESC, mrow, position)) WITHOUT ROWID;
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

enum Statement {
    rowOfId,
    lastRowInBlock,
    rowTaken,
    putMeeting,
    deleteMeeting,
    insertDocument,
    deleteDocument,
    insertTodo,
    deleteTodos,
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
            m_db = OpenIndexConnection(m_file, SQLITE_OPEN_READWRITE);
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

CSearchIndex::CSearchIndex(std::filesystem::path file, ForReading)
    : m_file(std::move(file)), m_reader(true), m_statements(statementCount, nullptr) {
    if (CheckIndexFile(m_file) != IndexFileState::ours) {
        throw CSearchIndexError("no index at " + m_file.string(), true);
    }
    m_db = OpenIndexConnection(m_file, SQLITE_OPEN_READONLY);
}

CSearchIndex::~CSearchIndex() {
    try {
        if (!m_reader) {
            MarkClean(true);
        }
    } catch (const CSearchIndexError&) {
        // Then the next start checks the file.
    }
    for (sqlite3_stmt* statement : m_statements) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(m_db);
}

bool CSearchIndex::IsUsable() {
    ExecuteSql(m_db, connectionSettings);
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
    const char* sql = "SELECT (SELECT count(*) FROM meetings WHERE row IS NOT NULL),"
                      " (SELECT count(*) FROM docs_docsize),"
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
    m_db = OpenIndexConnection(m_file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    try {
        // Documents of a kilobyte or so leave a sixth of each 4 KB page empty; larger pages
        // hold them with less to spare. Only a new, empty file takes another page size.
        ExecuteSql(m_db, "PRAGMA page_size = 16384");
        ExecuteSql(m_db, connectionSettings);
        CTransaction transaction(m_db);
        ExecuteSql(m_db, schema);
        sqlite3_stmt* statement = nullptr;
        const char* sql = "INSERT INTO meta VALUES ('layout', ?1), ('folder', ?2), "
                          "('documents', 0), ('todos', 0)";
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK) {
            FailSql(m_db, sqlite3_errcode(m_db), sql);
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
        FailSql(m_db, sqlite3_errcode(m_db), sql);
    }
    return statement;
}

void CSearchIndex::MarkClean(bool clean) {
    if (m_db != nullptr) {
        ExecuteSql(m_db, clean ? "INSERT OR REPLACE INTO meta VALUES ('clean', '1')"
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
    if (step.Next() && !step.IsNull(0)) {
        return step.Integer(0);
    }
    return std::nullopt;
}

long long CSearchIndex::FreeRowFrom(long long first) const {
    long long row = first;
    {
        CStep step(m_db, Prepared(lastRowInBlock,
                                  "SELECT max(row) FROM meetings WHERE row BETWEEN ?1 AND ?2"));
        step.Bind(1, first).Bind(2, first + rowsPerSecond - 1);
        if (step.Next() && !step.IsNull(0)) {
            row = step.Integer(0) + 1;
        }
    }
    // More meetings of one second than a block holds sort after it, each in the first free
    // row: the next seconds' meetings may hold the rows beyond.
    while (row >= first + rowsPerSecond) {
        CStep step(m_db, Prepared(rowTaken, "SELECT 1 FROM meetings WHERE row = ?1"));
        if (!step.Bind(1, row).Next()) {
            break;
        }
        ++row;
    }
    return row;
}

// The document and todos under `row`.
void CSearchIndex::RemoveDocument(long long row) {
    CStep(m_db, Prepared(deleteDocument, "DELETE FROM docs WHERE rowid = ?1")).Bind(1, row).Run();
    // Todos are stored with a priority of Low to High: three seeks, no scan.
    CStep(m_db, Prepared(deleteTodos, "DELETE FROM todos WHERE priority IN (0, 1, 2) "
                                      "AND mrow = ?1"))
        .Bind(1, row)
        .Run();
    m_todoChange -= sqlite3_changes64(m_db);
}

void CSearchIndex::PutMeeting(const CMeetingUpdate& update) {
    const std::optional<long long> old = RowOf(update.meetingId);
    std::optional<long long> row;
    if (update.document) {
        const long long first = FirstRowFor(update.document->dateSecond);
        // Same date: the meeting keeps its row. New, or its date changed: a new row where the
        // new date sorts.
        if (old && *old >= first && *old < first + rowsPerSecond) {
            row = *old;
        }
        if (old) {
            RemoveDocument(*old);
        }
        if (!row) {
            row = FreeRowFrom(first);
        }
        InsertDocument(*row, *update.document);
    } else if (old) {
        RemoveDocument(*old);
    }
    m_documentChange += (row ? 1 : 0) - (old ? 1 : 0);
    if (update.present.empty() && !row) {
        CStep(m_db, Prepared(deleteMeeting, "DELETE FROM meetings WHERE id = ?1"))
            .Bind(1, std::string_view(update.meetingId))
            .Run();
        return;
    }
    // A meeting file without a meeting keeps the stamps of its files, so that they are not
    // read again at every catch-up.
    const std::string stamps = EncodeStampRecord(update.meetingId, update.present);
    CStep step(m_db, Prepared(putMeeting, "INSERT INTO meetings(id, row, stamps) VALUES "
                                          "(?1, ?2, ?3) ON CONFLICT(id) DO UPDATE SET "
                                          "row = excluded.row, stamps = excluded.stamps"));
    step.Bind(1, std::string_view(update.meetingId)).BindBlob(3, stamps);
    if (row) {
        step.Bind(2, *row);
    }
    step.Run();
}

void CSearchIndex::InsertDocument(long long row, const CMeetingDocument& document) {
    CStep insert(m_db, Prepared(insertDocument,
                                "INSERT INTO docs(rowid, title, reference, venue, presided, "
                                "notes, attendees, agenda, minutes, todos) "
                                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
    insert.Bind(1, row)
        .Bind(2, std::string_view(document.title))
        .Bind(3, std::string_view(document.reference))
        .Bind(4, std::string_view(document.venue))
        .Bind(5, std::string_view(document.presidedBy))
        .Bind(6, std::string_view(document.notes))
        .Bind(7, std::string_view(document.attendees))
        .Bind(8, std::string_view(document.agenda))
        .Bind(9, std::string_view(document.minutes))
        .Bind(10, std::string_view(document.todos));
    insert.Run();
    InsertTodos(row, document);
}

void CSearchIndex::InsertTodos(long long row, const CMeetingDocument& document) {
    for (std::size_t position = 0; position < document.todoItems.size(); ++position) {
        const CTodoItem& item = document.todoItems[position];
        if (item.done != 0) {
            continue; // only the open todos are ever listed
        }
        CStep step(m_db, Prepared(insertTodo, "INSERT INTO todos(priority, mrow, position, text) "
                                              "VALUES (?1, ?2, ?3, ?4)"));
        // A priority outside Low to High counts as Low, as everywhere the todo is shown; the
        // file keeps its byte.
        step.Bind(1, static_cast<long long>(item.priority >= CTodoItem::low &&
                                                    item.priority <= CTodoItem::high
                                                ? item.priority
                                                : CTodoItem::low))
            .Bind(2, row)
            .Bind(3, static_cast<long long>(position))
            .BindBlob(4, item.text);
        step.Run();
        ++m_todoChange;
    }
}

void CSearchIndex::Apply(const std::vector<CMeetingUpdate>& updates) {
    CTransaction transaction(m_db);
    m_documentChange = 0;
    m_todoChange = 0;
    for (const CMeetingUpdate* update : InRowOrder(updates)) {
        PutMeeting(*update);
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
    const std::atomic<bool> never{false};
    return *SearchUnlessStopped(words, limit, never);
}

std::optional<std::vector<CSearchHit>>
CSearchIndex::SearchUnlessStopped(std::string_view words, std::size_t limit,
                                  const std::atomic<bool>& stop) const {
    std::vector<CSearchHit> hits;
    const std::string expression = MatchExpressionFor(words);
    if (expression.empty() || limit == 0) {
        return hits;
    }
    m_stop = &stop;
    m_stopped = false;
    // Looked at every thousand steps of SQLite's machine: well within a frame.
    const struct CHandler {
        explicit CHandler(const CSearchIndex& index) : db(index.m_db) {
            sqlite3_progress_handler(db, 1000, &CSearchIndex::ShouldStop,
                                     const_cast<CSearchIndex*>(&index));
        }
        ~CHandler() { sqlite3_progress_handler(db, 0, nullptr, nullptr); }
        sqlite3* db;
    } handler(*this);
    try {
        CStep step(m_db, Prepared(search, "SELECT (SELECT id FROM meetings WHERE row = docs.rowid),"
                                          " snippet(docs, -1, char(2), char(3), '\xE2\x80\xA6', "
                                          "12) FROM docs WHERE docs MATCH ?1 "
                                          "ORDER BY rowid DESC LIMIT ?2"));
        step.Bind(1, std::string_view(expression)).Bind(2, static_cast<long long>(limit));
        while (step.Next()) {
            hits.push_back(CSearchHit{step.Text(0), step.Text(1)});
        }
    } catch (const CSearchIndexError&) {
        m_stop = nullptr;
        if (m_stopped) {
            return std::nullopt;
        }
        throw;
    }
    m_stop = nullptr;
    return hits;
}

int CSearchIndex::ShouldStop(void* index) {
    const auto* self = static_cast<const CSearchIndex*>(index);
    self->m_stopped = self->m_stop != nullptr && self->m_stop->load();
    return self->m_stopped ? 1 : 0;
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
                            "SELECT (SELECT id FROM meetings WHERE row = mrow), position, text, "
                            "priority, mrow FROM todos "
                            "WHERE priority = ?1 AND (mrow, position) > (?2, ?3) "
                            "ORDER BY priority DESC, mrow, position LIMIT ?4"));
        step.Bind(1, static_cast<long long>(after->priority))
            .Bind(2, static_cast<long long>(after->meetingRow))
            .Bind(3, static_cast<long long>(after->position))
            .Bind(4, sqlLimit(limit));
        read(step);
        below = after->priority;
    }
    if (todos.size() < limit) {
        CStep step(m_db, Prepared(openTodos, "SELECT (SELECT id FROM meetings WHERE row = mrow), "
                                             "position, text, priority, mrow "
                                             "FROM todos WHERE priority < ?1 "
                                             "ORDER BY priority DESC, mrow, position LIMIT ?2"));
        step.Bind(1, below).Bind(2, sqlLimit(limit - todos.size()));
        read(step);
    }
    return todos;
}

std::size_t CSearchIndex::MeetingCount() const {
    sqlite3_stmt* statement = nullptr;
    std::size_t count = 0;
    if (sqlite3_prepare_v2(m_db, "SELECT count(*) FROM meetings WHERE row IS NOT NULL", -1,
                           &statement, nullptr) == SQLITE_OK &&
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
        db = OpenIndexConnection(file, SQLITE_OPEN_READONLY);
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
    if (sound && sqlite3_prepare_v2(db, "SELECT id, stamps FROM meetings", -1, &statement,
                                    nullptr) == SQLITE_OK) {
        int code = SQLITE_OK;
        while (sound && (code = sqlite3_step(statement)) == SQLITE_ROW) {
            const auto blob = [statement](int column) {
                const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
                return std::string_view(
                    data != nullptr ? data : "",
                    static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            };
            sound = DecodeStampRecord(blob(0), blob(1), stamps);
        }
        sound = sound && code == SQLITE_DONE;
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
