#pragma once

#include "search/FolderFiles.h"
#include "search/MeetingDocument.h"
#include "search/OpenTodo.h"
#include "search/SearchHit.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The full-text index of one working directory in one SQLite file: a document per meeting, its
// todos, and the stamps of the files it was read from. Use an object on one thread only.
//
// Through SQLite's C API rather than Qt SQL: FTS5's options, snippet() and the rowid order that
// makes "newest first" free are SQLite's own, and the worker that checks the folder opens a
// connection of its own without a QSqlDatabase per thread.
class CSearchIndex {
public:
    // Layout of the tables; an index of another layout is made afresh.
    static constexpr int layoutVersion = 4;

    // Opens the index in `file` for the folder `folderKey` (its canonical path). A missing,
    // damaged, foreign or older index is deleted and made afresh (WasMadeAfresh). Throws
    // CSearchIndexError when no index can be made there at all.
    CSearchIndex(std::filesystem::path file, std::string folderKey);
    // Opens the index in `file` only to search it, from a thread of its own: no check, no
    // write. Throws CSearchIndexError when there is none.
    struct ForReading {};
    CSearchIndex(std::filesystem::path file, ForReading);
    ~CSearchIndex();
    CSearchIndex(const CSearchIndex&) = delete;
    CSearchIndex& operator=(const CSearchIndex&) = delete;

    const std::filesystem::path& File() const { return m_file; }
    bool WasMadeAfresh() const { return m_madeAfresh; }
    // Whether the index found was closed by its last user. One that was not (the program
    // crashed, the machine went down) deserves SQLite's quick check, which reads the whole file
    // and so is not run on every start.
    bool WasClosedCleanly() const { return m_closedCleanly; }

    // Puts each meeting's document, todos and file stamps in place of what the index held of
    // it (a meeting without a document is removed, and with no file left forgotten); all in
    // one transaction. Throws CSearchIndexError.
    void Apply(const std::vector<CMeetingUpdate>& updates);

    // Meetings holding every word of `words`, newest first, at most `limit`.
    std::vector<CSearchHit> Search(std::string_view words, std::size_t limit) const;
    // As Search, but gives up, answering nothing, once `stop` turns true.
    std::optional<std::vector<CSearchHit>> SearchUnlessStopped(std::string_view words,
                                                               std::size_t limit,
                                                               const std::atomic<bool>& stop) const;
    // Todos not done: highest priority first, then the oldest meeting, then position. A page of
    // at most `limit` of them, starting after `after` (a todo an earlier page gave) or, for
    // none, from the first: a seek in the list's index, however far down the page lies.
    std::vector<COpenTodo> OpenTodos(const COpenTodo* after = nullptr,
                                     std::size_t limit = SIZE_MAX) const;
    std::size_t MeetingCount() const;

    // The stamps of the files last indexed, by name: from a connection of its own, so that
    // another thread may ask. Nothing when the file is no sound index (it fails SQLite's quick
    // check, or cannot be read).
    static std::optional<std::unordered_map<std::string, CFileStamp>>
    ReadFileStamps(const std::filesystem::path& file, bool quickCheck);

    // The rowid under which a meeting of this date sorts: by date, so that FTS5's rowid order
    // is newest first. Meetings of one second share a block of `rowsPerSecond` rows; a date
    // that is not valid sorts below every valid one. Small, because FTS5 stores each hit's
    // rowid as the difference to the one before: meetings hours apart then differ by three
    // bytes, not five.
    static constexpr long long rowsPerSecond = 16;
    static long long FirstRowFor(const std::optional<long long>& dateSecond);

private:
    void Create();
    bool IsUsable();
    bool CountsMatch();
    void MarkClean(bool clean);
    void PutMeeting(const CMeetingUpdate& update);
    void InsertDocument(long long row, const CMeetingDocument& document);
    // The meeting's open todos under its `row`, with their places in its todo file.
    void InsertTodos(long long row, const CMeetingDocument& document);
    void RemoveDocument(long long row);
    std::optional<long long> RowOf(const std::string& id) const;
    long long FreeRowFrom(long long first) const;
    sqlite3_stmt* Prepared(int which, const char* sql) const;
    // SQLite's progress handler: nonzero stops the statement under way.
    static int ShouldStop(void* index);

    std::filesystem::path m_file;
    std::string m_folderKey;
    sqlite3* m_db = nullptr;
    bool m_madeAfresh = false;
    bool m_closedCleanly = false;
    bool m_reader = false;
    // What stops the search under way.
    mutable const std::atomic<bool>* m_stop = nullptr;
    mutable bool m_stopped = false;
    // Meetings and todos added (less those removed) by the Apply under way.
    long long m_documentChange = 0;
    long long m_todoChange = 0;
    mutable std::vector<sqlite3_stmt*> m_statements;
};
