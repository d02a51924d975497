#include "search/SearchKeeper.h"
#include "app/IndexingProgress.h"
#include "search/IndexLocation.h"
#include "search/IndexWriter.h"
#include "search/SearchIndex.h"
#include "store/ContentFiles.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/NewMeeting.h"
#include "store/WorkingDirectory.h"
#include "tests/support/EnvironmentScope.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QSignalSpy>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <fstream>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace {

CMeeting Meeting(const std::string& id, const std::string& title, int day = 1) {
    CMeeting record(CDateTime(2024, 3, day, 10, 0, 0));
    record.id = id;
    record.title = title;
    return record;
}

std::vector<std::string> Ids(const std::vector<CSearchHit>& hits) {
    std::vector<std::string> ids;
    for (const CSearchHit& hit : hits) {
        ids.push_back(hit.meetingId);
    }
    return ids;
}

// Each case has its own cache folder (never the user's) and its own working directory.
class SearchKeeper : public ::testing::Test {
protected:
    void SetUp() override { SetWorkingDirectory(folder.Path()); }
    void TearDown() override { SetWorkingDirectory({}); }

    // Opens the keeper on `where` and lets it catch up.
    static void OpenAndWait(CSearchKeeper& keeper, const fs::path& where) {
        keeper.Open(where);
        Wait(keeper);
    }
    // Lets the writer's thread index what the program just wrote.
    static void Settle(CSearchKeeper& keeper) {
        for (int i = 0; i < 10000 && keeper.IsWriting(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_FALSE(keeper.IsWriting()) << "the write never reached the index";
        QCoreApplication::processEvents(); // its news
    }
    static void Wait(CSearchKeeper& keeper) {
        for (int i = 0; i < 20000 && !keeper.IsUpToDate(); ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(keeper.IsUpToDate()) << "the catch-up never finished";
    }
    // Overwrites the first page of `table` in the index file, as a failing disk might; the file's
    // header and its other tables stay readable. `crashed`: as if the last run never closed it.
    static void DamagePageOf(const fs::path& file, const char* table, bool crashed) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_schema WHERE name = ?1", -1, &statement,
                           nullptr);
        sqlite3_bind_text(statement, 1, table, -1, SQLITE_STATIC);
        ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
        const long long page = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &statement, nullptr);
        ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
        const long long pageSize = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        if (crashed) {
            sqlite3_exec(db, "UPDATE meta SET value = '0' WHERE key = 'clean'", nullptr, nullptr,
                         nullptr);
        }
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        std::fstream damage(file, std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp(static_cast<std::streamoff>((page - 1) * pageSize));
        damage << std::string(static_cast<std::size_t>(pageSize), '\x5A');
    }
    fs::path IndexFile(const fs::path& where) const {
        return IndexFileFor(cache.Path() / "tavelin", fs::weakly_canonical(where));
    }

    CTempFolder cache;
    const CEnvironmentScope cacheHome{"XDG_CACHE_HOME", cache.Path().c_str()};
    CTempFolder folder;
    CMeetingStore store;
};

} // namespace

// Every write the program makes is indexed at once: add, modify, a content file, a delete. An
// import's chunk reaches the index as one change: each meeting is read once and the lists on
// show are asked again once, not once per file.
TEST_F(SearchKeeper, FollowsEveryWriteTheProgramMakes) {
    CSearchKeeper keeper;
    OpenAndWait(keeper, folder.Path());
    QSignalSpy changed(&keeper, &CSearchKeeper::changed);
    const std::vector<std::string> ids = store.AddMeetings(3, [](std::size_t i) {
        CNewMeeting meeting;
        meeting.record = Meeting("", "Imported board meeting", static_cast<int>(i) + 1);
        meeting.agenda = std::vector<CAgendaItem>{{CDateTime(2024, 3, 1, 9, 0, 0), "Harbour fees"}};
        meeting.todos = std::vector<CTodoItem>{{"Send the harbour figures", CTodoItem::high, 0}};
        return meeting;
    });
    Settle(keeper);
    EXPECT_EQ(changed.size(), 1) << "one change for the chunk";
    EXPECT_EQ(Ids(keeper.Search("imported board", 10)),
              (std::vector<std::string>{ids[2], ids[1], ids[0]}));
    EXPECT_EQ(keeper.Search("harbour fees", 10).size(), 3u) << "the agenda of each is indexed";
    EXPECT_EQ(keeper.OpenTodos().size(), 3u);

    const std::string id = store.AddMeeting(Meeting("", "Quarterly plan"));
    Settle(keeper);
    EXPECT_EQ(Ids(keeper.Search("quarterly", 10)), std::vector<std::string>{id});
    CMeeting record = store.GetMeeting(id);
    record.title = "Annual plan";
    store.ModifyMeeting(record);
    Settle(keeper);
    EXPECT_TRUE(keeper.Search("quarterly", 10).empty()) << "the old title is gone";
    EXPECT_EQ(Ids(keeper.Search("annual", 10)), std::vector<std::string>{id});

    WriteTodoFile(id, {{"Book the room", CTodoItem::medium, 0}, {"Done one", 2, 1}});
    Settle(keeper);
    EXPECT_EQ(Ids(keeper.Search("book room", 10)), std::vector<std::string>{id});

    WriteMinutesFile(id, {"Minutes to lose"});
    Settle(keeper);
    store.DeleteMeeting(id);
    Settle(keeper);
    EXPECT_TRUE(keeper.Search("annual", 10).empty());
    EXPECT_TRUE(keeper.Search("minutes", 10).empty());
    EXPECT_TRUE(keeper.Search("book", 10).empty());

    // Files of another folder are none of this index's business.
    CTempFolder elsewhere;
    SetWorkingDirectory(elsewhere.Path());
    store.ModifyMeeting(Meeting("2024030110000010", "Elsewhere"));
    EXPECT_TRUE(keeper.Search("elsewhere", 10).empty());
}

// A folder written before the program started is indexed at Open: the meeting's own texts,
// each content file, texts stored in Windows-1252; the index goes to the cache folder. Changes
// made behind the program's back are found when it opens the folder again, and
// only the meetings with a changed, added or removed file are read again.
TEST_F(SearchKeeper, IndexesTheFolderItOpensAndCatchesUpWithChangesBehindItsBack) {
    for (int day = 1; day <= 5; ++day) {
        store.ModifyMeeting(Meeting("2024030" + std::to_string(day) + "10000010", "Plain", day));
    }
    const std::string changedId = "2024030310000010";
    CMeeting old = Meeting("2003010110000010", "Caf\xE9 meeting");
    store.ModifyMeeting(old);
    WriteAgendaFile(old.id, {{old.date, "Agendaword"}});
    WriteAttendeeFile(old.id, {"Attendeeword"});
    WriteMinutesFile(old.id, {"Minuteword"});
    WriteTodoFile(old.id, {{"Todoword", CTodoItem::high, 0}});
    folder.WriteFile("meeting2024030110000010.mtg.tmp", "stale");
    folder.WriteFile("notes.txt", "Plain");
    {
        CSearchKeeper keeper;
        QSignalSpy progress(&keeper, &CSearchKeeper::progress);
        OpenAndWait(keeper, folder.Path());
        EXPECT_TRUE(keeper.IsAvailable());
        EXPECT_FALSE(progress.isEmpty());
        EXPECT_EQ(keeper.Search("plain", 10).size(), 5u);
        EXPECT_EQ(Ids(keeper.Search("cafe", 10)), std::vector<std::string>{old.id});
        for (const char* word : {"agendaword", "attendeeword", "minuteword", "todoword"}) {
            EXPECT_EQ(Ids(keeper.Search(word, 10)), std::vector<std::string>{old.id}) << word;
        }
        ASSERT_EQ(keeper.OpenTodos().size(), 1u);
        EXPECT_EQ(keeper.OpenTodos()[0].text, "Todoword");
        EXPECT_TRUE(fs::exists(IndexFile(folder.Path()))) << "kept in the cache folder";
    }
    EXPECT_FALSE(fs::exists(IndexFile(folder.Path()).string() + "-wal")) << "a log left behind";
    // Another program rewrites one file in place, adds one and removes one.
    {
        CMeeting record = Meeting(changedId, "Renamed outside", 3);
        std::ofstream(MeetingFilePath(changedId), std::ios::trunc | std::ios::binary)
            << EncodeMeeting(record);
    }
    folder.WriteFile("todo2024030110000010.tdo", EncodeTodos({{"Outside todo", 0, 0}}));
    fs::remove(MeetingFilePath("2024030510000010"));

    // Files to read: the changed meeting's file, the new todo file and its meeting's file, and
    // one for the meeting gone; whatever was read, the last report tells the whole.
    const auto totalRead = [](const QSignalSpy& reports) {
        return reports.isEmpty() ? 0u : reports.last().at(1).toULongLong();
    };
    {
        CSearchKeeper keeper;
        QSignalSpy progress(&keeper, &CSearchKeeper::progress);
        OpenAndWait(keeper, folder.Path());
        EXPECT_EQ(totalRead(progress), 4u) << "only meetings with a changed file are read";
        EXPECT_EQ(Ids(keeper.Search("renamed outside", 10)), std::vector<std::string>{changedId});
        EXPECT_EQ(Ids(keeper.Search("outside todo", 10)),
                  std::vector<std::string>{"2024030110000010"});
        EXPECT_EQ(keeper.OpenTodos().size(), 2u);
        EXPECT_EQ(keeper.Search("plain", 10).size(), 3u) << "the removed meeting is gone";
    }
    CSearchKeeper again;
    QSignalSpy nothing(&again, &CSearchKeeper::progress);
    OpenAndWait(again, folder.Path());
    EXPECT_EQ(totalRead(nothing), 0u) << "nothing changed, nothing read";
}

// A damaged index file is rebuilt without a word to the user; without a usable cache folder search
// is unavailable and every save still succeeds.
TEST_F(SearchKeeper, DamagedOrMissingIndex) {
    store.ModifyMeeting(Meeting("2024030110000010", "Findme"));
    {
        CSearchKeeper keeper;
        OpenAndWait(keeper, folder.Path());
    }
    const fs::path file = IndexFile(folder.Path());
    // After a crash the whole file is checked before it is used.
    DamagePageOf(file, "docs_data", true);
    ASSERT_TRUE(CSearchIndex::ReadFileStamps(file, false))
        << "the damage must hide from a plain read";
    {
        CSearchKeeper keeper;
        OpenAndWait(keeper, folder.Path());
        EXPECT_EQ(Ids(keeper.Search("findme", 10)), std::vector<std::string>{"2024030110000010"});
    }
    // Damage to a file closed cleanly shows on first use, which makes it again.
    DamagePageOf(file, "docs_data", false);
    {
        CSearchKeeper keeper;
        OpenAndWait(keeper, folder.Path());
        keeper.Search("findme", 10);
        Wait(keeper);
        EXPECT_EQ(Ids(keeper.Search("findme", 10)), std::vector<std::string>{"2024030110000010"});
    }

    // The cache folder's place is taken by a file.
    fs::remove_all(cache.Path() / "tavelin");
    cache.WriteFile("tavelin", "a file");
    CSearchKeeper keeper;
    keeper.Open(folder.Path());
    EXPECT_FALSE(keeper.IsAvailable());
    EXPECT_FALSE(keeper.IsUpToDate());
    EXPECT_TRUE(keeper.Search("findme", 10).empty());
    EXPECT_TRUE(keeper.OpenTodos().empty());
    EXPECT_NO_THROW(store.ModifyMeeting(Meeting("2024030110000010", "Saved anyway")));
    EXPECT_NO_THROW(store.DeleteMeeting("2024030110000010"));
}

namespace {

// The writer's news, waited for on the test's thread.
class CWriterNews : public CIndexWriter::CEvents {
public:
    void Written(unsigned, std::size_t, std::size_t) override {}
    void CaughtUp(unsigned generation) override {
        const std::lock_guard lock(m_mutex);
        m_caughtUp = generation;
        m_wake.notify_all();
    }
    void Saved() override {}
    void Failed(const CSearchIndexError&) override { ADD_FAILURE() << "a write failed"; }
    bool WaitForCatchUp(unsigned generation) {
        std::unique_lock lock(m_mutex);
        return m_wake.wait_for(lock, std::chrono::seconds(10),
                               [&] { return m_caughtUp == generation; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    unsigned m_caughtUp = 0;
};

} // namespace

// A save the program makes while a catch-up runs wins over what the catch-up read before it,
// and over what a catch-up since stopped hands in late: the index on disk holds the saved text.
TEST_F(SearchKeeper, ASaveDuringACatchUpIsNotUndoneByIt) {
    const std::string id = "2024030110000010";
    store.ModifyMeeting(Meeting(id, "Before"));
    const int fd = ::open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const CMeetingUpdate read = ReadMeetingUpdate(fd, id); // what the catch-up read
    store.ModifyMeeting(Meeting(id, "After"));
    const fs::path file = cache.Path() / "index.sqlite";
    {
        CWriterNews news;
        CIndexWriter writer(std::make_unique<CSearchIndex>(file, "/f"), fd, news);
        writer.BeginCatchUp(1);
        writer.Save({{id, ""}});
        writer.Batch(1, {read}, 1, 1);
        writer.EndCatchUp(1);
        ASSERT_TRUE(news.WaitForCatchUp(1));
        writer.BeginCatchUp(2);
        writer.Batch(1, {read}, 1, 1); // the stopped catch-up's last batch
        writer.EndCatchUp(2);
        ASSERT_TRUE(news.WaitForCatchUp(2));
    }
    ::close(fd);
    CSearchIndex index(file, "/f");
    EXPECT_TRUE(index.Search("before", 10).empty()) << "the catch-up's older rows came last";
    EXPECT_EQ(Ids(index.Search("after", 10)), std::vector<std::string>{id});
}

namespace {

// Writes beyond `bytes` into any file fail as on a full disk, until the object goes.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldSignal);
    }
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldSignal)(int) = SIG_DFL;
};

} // namespace

// An index that cannot be written (a full disk: here any write past a page is refused) never
// calls itself up to date: the status bar says why, and a catch-up tried later indexes what
// the failed writes missed.
TEST_F(SearchKeeper, AFailedWriteIsSaidAndTriedAgain) {
    CSearchKeeper keeper;
    CIndexingProgress status;
    status.Watch(&keeper);
    OpenAndWait(keeper, folder.Path());
    QSignalSpy failed(&keeper, &CSearchKeeper::writeFailed);
    QSignalSpy upToDate(&keeper, &CSearchKeeper::upToDate);
    {
        CFileSizeLimit full(2048); // a meeting file fits, a page of the index does not
        store.ModifyMeeting(Meeting("2024030110000010", "Lostword"));
        ASSERT_TRUE(failed.wait(10000)) << "the save's index write failed unsaid";
        EXPECT_FALSE(keeper.IsUpToDate());
        keeper.CatchUp();
        ASSERT_TRUE(failed.wait(10000)) << "the catch-up's write failed unsaid";
        for (int i = 0; i < 1000 && upToDate.isEmpty(); ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_TRUE(upToDate.isEmpty()) << "up to date with the meeting missing";
        EXPECT_FALSE(keeper.IsUpToDate());
        EXPECT_TRUE(keeper.Search("lostword", 10).empty());
    }
    EXPECT_FALSE(status.isHidden());
    EXPECT_TRUE(status.findChild<QLabel*>()->text().contains(
        QStringLiteral("The search index could not be saved")));

    keeper.SetRetryDelay(std::chrono::milliseconds(10)); // the disk has room again
    Wait(keeper);
    EXPECT_EQ(Ids(keeper.Search("lostword", 10)), std::vector<std::string>{"2024030110000010"});
    EXPECT_TRUE(status.isHidden());
}
