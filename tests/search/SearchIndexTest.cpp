#include "search/SearchIndex.h"
#include "search/IndexLocation.h"
#include "search/QueryThread.h"
#include "search/SearchIndexError.h"
#include "search/SearchQuery.h"
#include "search/StampRecord.h"
#include "tests/support/EnvironmentScope.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <condition_variable>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

CMeetingUpdate Update(std::string id, std::optional<long long> dateSecond, std::string title = {}) {
    CMeetingDocument document;
    document.id = id;
    document.dateSecond = dateSecond;
    document.title = std::move(title);
    CMeetingUpdate update;
    update.meetingId = std::move(id);
    update.document = std::move(document);
    return update;
}

std::vector<std::string> Ids(const std::vector<CSearchHit>& hits) {
    std::vector<std::string> ids;
    for (const CSearchHit& hit : hits) {
        ids.push_back(hit.meetingId);
    }
    return ids;
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The snippet with the marks shown as [ and ].
std::string Marked(std::string snippet) {
    for (char& c : snippet) {
        c = c == searchMarkBegin ? '[' : c == searchMarkEnd ? ']' : c;
    }
    return snippet;
}

class SearchIndex : public ::testing::Test {
protected:
    fs::path File() const { return cache / "index.sqlite"; }
    std::unique_ptr<CSearchIndex> Open(const std::string& folderKey = "/meetings") const {
        return std::make_unique<CSearchIndex>(File(), folderKey);
    }

    CTempFolder cache;
};

} // namespace

// The user's text is words, never query syntax: each word a required prefix, whatever its
// case and accents, and every character FTS5 would read as an operator a separator. Nothing
// typed raises an error.
TEST(SearchQuery, WordsBecomeQuotedPrefixesAndNothingElse) {
    EXPECT_EQ(MatchExpressionFor("  \"title\":budget* (NEAR) ^x-y OR"),
              "\"title\"* \"budget\"* \"NEAR\"* \"x\"* \"y\"* \"OR\"*");
    EXPECT_EQ(MatchExpressionFor("Caf\xE9"), "\"Caf\xC3\xA9\"*") << "Windows-1252 typed in";
    EXPECT_EQ(MatchExpressionFor("\" * ( ) : ^ - + ."), "");
}

TEST_F(SearchIndex, FindsWordsAndPrefixesAndTakesTheRestLiterally) {
    auto index = Open();
    index->Apply({Update("1", 100, "Budget review: deep cuts"),
                  Update("2", 200, "Caf\xC3\xA9 r\xC3\xA9sum\xC3\xA9 Z\xC3\xBCrich"),
                  Update("3", 300, "Budgie club"), Update("4", 50, "budget title NEAR agreed")});
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"budg cut", {"1"}},
        {"BUDG", {"3", "1", "4"}},
        {"cafe RESUME zurich", {"2"}},
        {"CAF\xC3\x89", {"2"}},
        {"budget club", {}},
        {"udget", {}},
        {"", {}},
        {"budget OR nothing", {}},
        {"title:budget", {"4"}},
        {"NEAR(budget agreed)", {"4"}},
        {"budget -agreed", {"4"}},
        {"b", {"3", "1", "4"}},
        {"z", {"2"}},
        {"de", {"1"}},
    };
    for (const auto& [text, ids] : cases) {
        EXPECT_EQ(Ids(index->Search(text, 10)), ids) << text;
    }
    for (const char* text : {"\"", "budget\"", "*", "(budget", "^budget", "budget +", "OR",
                             "budget AND", "NOT agreed", "{title}: budget", "\xFF\xFE"}) {
        EXPECT_NO_THROW(index->Search(text, 10)) << text;
    }
    EXPECT_EQ(Marked(index->Search("budg cut", 10).at(0).snippet), "[Budget] review: deep [cuts]");
}

// A search gives up, answering nothing, once stopped. The query thread
// answers the search asked for last, though it stopped the one before to get there.
TEST_F(SearchIndex, ASearchStopsWhenToldAndTheLastAskedIsAnswered) {
    auto index = Open();
    std::vector<CMeetingUpdate> many;
    for (int i = 0; i < 300; ++i) {
        many.push_back(Update(std::to_string(i), i, "common words"));
    }
    index->Apply(many);
    const std::atomic<bool> stop{true};
    const std::atomic<bool> go{false};
    EXPECT_FALSE(index->SearchUnlessStopped("common", 300, stop));
    EXPECT_EQ(index->SearchUnlessStopped("common", 300, go)->size(), 300u);

    std::mutex mutex;
    std::condition_variable wake;
    std::string answered;
    CQueryThread queries(File(),
                         [&](const std::string& words, std::size_t, CQueryThread::CResult result) {
                             const std::lock_guard lock(mutex);
                             answered = words + "/" + std::to_string(result.hits.size());
                             wake.notify_all();
                         });
    queries.Ask("wor", 5);
    queries.Ask("common", 300);
    std::unique_lock lock(mutex);
    EXPECT_TRUE(wake.wait_for(lock, std::chrono::seconds(10), [&] {
        return answered == "common/300";
    })) << answered;
}

// Every field of a meeting and every content file is searched, and a hit's snippet is taken
// from the field that matched.
TEST_F(SearchIndex, SearchesEveryFieldAndContentFile) {
    auto index = Open();
    std::vector<CMeetingUpdate> updates;
    const std::vector<std::pair<std::string CMeetingDocument::*, std::string>> fields = {
        {&CMeetingDocument::title, "alphatitle"},  {&CMeetingDocument::reference, "betaref"},
        {&CMeetingDocument::venue, "gammavenue"},  {&CMeetingDocument::presidedBy, "deltachair"},
        {&CMeetingDocument::notes, "epsilonnote"}, {&CMeetingDocument::attendees, "zetaperson"},
        {&CMeetingDocument::agenda, "etaagenda"},  {&CMeetingDocument::minutes, "thetaminute"},
        {&CMeetingDocument::todos, "iotatodo"}};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        CMeetingUpdate update = Update(std::to_string(i), static_cast<long long>(i));
        (*update.document).*(fields[i].first) = "first line\nthe " + fields[i].second + " here";
        updates.push_back(update);
    }
    index->Apply(updates);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::vector<CSearchHit> hits = index->Search(fields[i].second, 10);
        ASSERT_EQ(Ids(hits), std::vector<std::string>{std::to_string(i)}) << fields[i].second;
        EXPECT_NE(Marked(hits[0].snippet).find("[" + fields[i].second + "]"), std::string::npos)
            << Marked(hits[0].snippet);
    }
    EXPECT_TRUE(index->Search("2", 10).empty()) << "the meeting's id is no searchable text";
}

// Newest first, including when a meeting's date moves, when meetings share a second and when
// a batch comes in any order; a meeting without a valid date comes last; the limit cuts the
// oldest; a meeting named twice in one batch ends as its last update has it.
TEST_F(SearchIndex, NewestFirstAsDatesChange) {
    auto index = Open();
    std::vector<CMeetingUpdate> batch = {Update("old", 1000, "plan"),
                                         Update("mid", 2000, "plan"),
                                         Update("undated", std::nullopt, "plan"),
                                         Update("before1900", -5'000'000'000LL, "plan"),
                                         Update("twice", 5000, "before"),
                                         Update("new", 3000, "plan"),
                                         Update("twice", 10, "after")};
    index->Apply(batch);
    EXPECT_EQ(Ids(index->Search("plan", 10)),
              (std::vector<std::string>{"new", "mid", "old", "before1900", "undated"}));
    EXPECT_EQ(Ids(index->Search("plan", 2)), (std::vector<std::string>{"new", "mid"}));
    EXPECT_EQ(Ids(index->Search("after", 5)), std::vector<std::string>{"twice"});
    EXPECT_TRUE(index->Search("before", 5).empty()) << "the last update of a meeting wins";

    index->Apply({Update("old", 4000, "plan again"), Update("twin", 2000, "plan")});
    const std::vector<std::string> ids = Ids(index->Search("plan", 10));
    ASSERT_EQ(ids.size(), 6u);
    EXPECT_EQ(ids[0], "old") << "moved to the newest date";
    EXPECT_EQ(ids[1], "new");
    EXPECT_TRUE((ids[2] == "twin" && ids[3] == "mid") || (ids[2] == "mid" && ids[3] == "twin"));
    EXPECT_EQ(index->MeetingCount(), 7u) << "a moved meeting is not kept twice";

    // More meetings of one second than its block holds, the next second's meeting indexed first.
    std::vector<CMeetingUpdate> crowd = {Update("next", 7001, "crowd")};
    for (int i = 0; i < 20; ++i) {
        crowd.push_back(Update("c" + std::to_string(i), 7000, "crowd"));
    }
    index->Apply({crowd[0]});
    index->Apply(crowd);
    EXPECT_EQ(index->Search("crowd", 30).size(), 21u);
}

// Open todos: done ones left out, highest priority first, then the meeting that has waited
// longest, then the todo's place in its file; texts as stored, and gone with their meeting.
TEST_F(SearchIndex, OpenTodosInTheirOrder) {
    auto index = Open();
    CMeetingUpdate older = Update("older", 100);
    older.document->todoItems = {{"o-low", CTodoItem::low, 0},
                                 {"o-high-done", CTodoItem::high, 1},
                                 {"o-high", CTodoItem::high, 0},
                                 {"o-high2 \xE9", CTodoItem::high, 0}};
    CMeetingUpdate newer = Update("newer", 200);
    newer.document->todoItems = {
        {"n-high", CTodoItem::high, 0}, {"n-odd", 7, 0}, {"n-low-done", CTodoItem::low, -4}};
    index->Apply({newer, older});
    std::vector<std::string> texts;
    for (const COpenTodo& todo : index->OpenTodos()) {
        texts.push_back(todo.meetingId + "/" + std::to_string(todo.position) + "/" + todo.text +
                        "/" + std::to_string(todo.priority));
    }
    // A priority outside Low to High sorts and reads as Low.
    EXPECT_EQ(texts,
              (std::vector<std::string>{"older/2/o-high/2", "older/3/o-high2 \xE9/2",
                                        "newer/0/n-high/2", "older/0/o-low/0", "newer/1/n-odd/0"}));

    CMeetingUpdate gone;
    gone.meetingId = "older";
    index->Apply({gone});
    EXPECT_EQ(index->OpenTodos().size(), 2u);
    EXPECT_TRUE(index->Search("zzz", 5).empty());
}

// Pages of the open todos, each after the last todo of the one before, walk the whole list:
// none skipped or given twice where a page ends inside a priority, at a priority's end, or
// between two todos of one meeting.
TEST_F(SearchIndex, OpenTodoPagesWalkTheWholeList) {
    auto index = Open();
    std::vector<CMeetingUpdate> updates;
    for (int meeting = 0; meeting < 7; ++meeting) {
        CMeetingUpdate update = Update("m" + std::to_string(meeting), 1000 - meeting * 10);
        for (int todo = 0; todo < 4; ++todo) {
            const std::int32_t priority = (meeting + todo) % 3;
            update.document->todoItems.push_back(
                {"t" + std::to_string(meeting) + std::to_string(todo), priority, todo == 3});
        }
        updates.push_back(std::move(update));
    }
    // Two meetings of one second: rows next to each other in one block.
    updates.push_back(Update("same-a", 500));
    updates.back().document->todoItems = {{"sa", CTodoItem::medium, 0}};
    updates.push_back(Update("same-b", 500));
    updates.back().document->todoItems = {{"sb", CTodoItem::medium, 0}};
    index->Apply(updates);

    const auto key = [](const COpenTodo& todo) {
        return todo.meetingId + "/" + std::to_string(todo.position);
    };
    std::vector<std::string> whole;
    for (const COpenTodo& todo : index->OpenTodos()) {
        whole.push_back(key(todo));
    }
    ASSERT_EQ(whole.size(), 23u);
    for (std::size_t pageSize = 1; pageSize <= whole.size() + 1; ++pageSize) {
        std::vector<std::string> walked;
        std::vector<COpenTodo> page = index->OpenTodos(nullptr, pageSize);
        while (!page.empty()) {
            ASSERT_LE(page.size(), pageSize);
            for (const COpenTodo& todo : page) {
                walked.push_back(key(todo));
            }
            ASSERT_LE(walked.size(), whole.size()) << "pages of " << pageSize << " never end";
            const COpenTodo last = page.back();
            page = index->OpenTodos(&last, pageSize);
        }
        EXPECT_EQ(walked, whole) << "pages of " << pageSize;
    }
    EXPECT_TRUE(index->OpenTodos(nullptr, 0).empty());
}

// A meeting's file stamps come back under their names, a name the program would not write
// included; a record cut short is damage, not stamps.
TEST(StampRecord, NamesAndStampsComeBack) {
    const std::vector<std::pair<std::string, CFileStamp>> files = {
        {"meeting7.MTG", {12, -3}}, {"todo7.tdo", {0, 1'700'000'000'123'456'789}}};
    const std::string record = EncodeStampRecord("7", files);
    std::unordered_map<std::string, CFileStamp> stamps;
    ASSERT_TRUE(DecodeStampRecord("7", record, stamps));
    EXPECT_EQ(stamps, (std::unordered_map<std::string, CFileStamp>(files.begin(), files.end())));
    EXPECT_FALSE(DecodeStampRecord("7", record.substr(0, record.size() - 1), stamps));
}

// The index goes to the user's cache folder, by the XDG rule, under a name of its own for each
// folder; never into the working directory.
TEST(SearchIndexLocation, CacheFolderByTheXdgRule) {
    const CEnvironmentScope cacheHome("XDG_CACHE_HOME", "/var/cache-of-user");
    const CEnvironmentScope home("HOME", "/home/someone");
    EXPECT_EQ(SearchCacheFolder(), fs::path("/var/cache-of-user/tavelin"));
    cacheHome.Set("relative/cache");
    EXPECT_EQ(SearchCacheFolder(), fs::path("/home/someone/.cache/tavelin"))
        << "a relative XDG_CACHE_HOME is ignored";
    cacheHome.Set(nullptr);
    EXPECT_EQ(SearchCacheFolder(), fs::path("/home/someone/.cache/tavelin"));

    EXPECT_NE(IndexFileFor("/cache", "/home/ann/Meeting Files"),
              IndexFileFor("/cache", "/home/bob/Meeting Files"));
}

// The cache folder is the user's alone: made 0700, narrowed back when it was opened up, and
// refused when it is a link or another user's.
TEST(SearchIndexLocation, CacheFolderIsTheUsersAlone) {
    CTempFolder home;
    const fs::path cache = home / "cache" / "tavelin";
    const auto mode = [&cache] { return fs::status(cache).permissions() & fs::perms::all; };
    ASSERT_TRUE(PrepareCacheFolder(cache));
    EXPECT_EQ(mode(), fs::perms::owner_all);
    fs::permissions(cache, fs::perms::all);
    ASSERT_TRUE(PrepareCacheFolder(cache));
    EXPECT_EQ(mode(), fs::perms::owner_all) << "a folder opened up is narrowed again";

    const fs::path linked = home / "linked";
    fs::create_directory_symlink(cache, linked);
    fs::permissions(cache, fs::perms::all);
    EXPECT_FALSE(PrepareCacheFolder(linked));
    EXPECT_EQ(mode(), fs::perms::all) << "nothing is changed through a link";

    if (::geteuid() == 0) { // only root can give a folder away
        ASSERT_EQ(::chown(cache.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(PrepareCacheFolder(cache)) << "another user's folder";
    }
}

namespace {

void Execute(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

CMeetingUpdate WithTodos(std::string id, long long date, int todos) {
    CMeetingUpdate update = Update(id, date, "kept " + id);
    update.document->todoItems.assign(static_cast<std::size_t>(todos), {"todo", 1, 0});
    return update;
}

} // namespace

// The index is a cache: whatever is found at its place that is not a sound index of this
// folder in this layout (rows lost behind its back included) is made afresh, without an error.
// A link or second name planted there is never opened, so no PRAGMA reaches the file it names.
TEST_F(SearchIndex, WhatIsNoSoundIndexOfThisFolderIsMadeAfresh) {
    CTempFolder elsewhere;
    const fs::path other = elsewhere / "other.sqlite";
    const auto sql = [this](const char* statement) {
        return [this, statement] { Execute(File(), statement); };
    };
    const auto bytes = [this](std::string text) {
        return [this, text] { std::ofstream(File(), std::ios::binary | std::ios::trunc) << text; };
    };
    const struct {
        const char* what;
        std::function<void()> plant;
    } cases[] = {
        {"nothing changed", [] {}},
        {"another folder's index", sql("UPDATE meta SET value = '/other' WHERE key = 'folder'")},
        {"an older layout", sql("UPDATE meta SET value = '0' WHERE key = 'layout'")},
        {"an empty file", bytes("")},
        {"no database", bytes("not a database at all")},
        {"a damaged database",
         bytes(std::string("SQLite format 3\0garbage", 24) + std::string(4096, '\x7F'))},
        {"a link to a database", [&] { fs::remove(File()), fs::create_symlink(other, File()); }},
        {"a second name of a database",
         [&] { fs::remove(File()), fs::create_hard_link(other, File()); }},
        {"a todo lost", sql("DELETE FROM todos WHERE mrow = (SELECT max(mrow) FROM todos)")},
        {"a document lost", sql("DELETE FROM docs WHERE rowid = (SELECT max(row) FROM meetings)")},
        {"a meeting lost", sql("DELETE FROM meetings WHERE id = '1'")},
        {"the todos lost", sql("DROP TABLE todos")},
        {"the count lost", sql("DELETE FROM meta WHERE key = 'documents'")},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        fs::remove_all(cache.Path());
        fs::create_directories(cache.Path());
        {
            auto index = Open();
            EXPECT_TRUE(index->WasMadeAfresh());
            index->Apply({WithTodos("1", 10, 2), WithTodos("2", 20, 1), WithTodos("3", 30, 0)});
            // Same date with fewer todos, a new date, a removal: the index's own changes.
            CMeetingUpdate gone;
            gone.meetingId = "3";
            index->Apply({WithTodos("1", 10, 1), WithTodos("2", 25, 3), gone});
        }
        fs::remove(other);
        sqlite3* db = nullptr; // another program's file, in the rollback journal it chose
        ASSERT_EQ(sqlite3_open(other.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE precious(x); INSERT INTO precious VALUES (42);", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
        const std::string otherBytes = Bytes(other);
        each.plant();

        const bool sound = std::string_view(each.what) == "nothing changed";
        std::unique_ptr<CSearchIndex> index;
        ASSERT_NO_THROW(index = Open());
        EXPECT_EQ(index->WasMadeAfresh(), !sound);
        const std::vector<std::string> kept = {"2", "1"};
        EXPECT_EQ(Ids(index->Search("kept", 5)), sound ? kept : std::vector<std::string>{});
        index->Apply({Update("4", 4, "fresh")});
        EXPECT_EQ(Ids(index->Search("fresh", 5)), std::vector<std::string>{"4"});
        index.reset();
        EXPECT_EQ(Bytes(other), otherBytes) << "the planted link's file was changed";
        EXPECT_FALSE(fs::is_symlink(File()));
        EXPECT_EQ(fs::hard_link_count(File()), 1u);
        for (const char* tail : {"-wal", "-shm", "-journal"}) {
            EXPECT_FALSE(fs::exists(fs::path(other.string() + tail))) << tail;
        }
    }
    std::ofstream(File(), std::ios::binary | std::ios::trunc) << "garbage";
    EXPECT_FALSE(CSearchIndex::ReadFileStamps(File(), true)) << "no stamps from a damaged file";
    EXPECT_THROW(CSearchIndex(cache / "missing" / "index.sqlite", "/meetings"), CSearchIndexError);
}
