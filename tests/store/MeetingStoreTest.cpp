#include "store/MeetingStore.h"
#include "store/Clock.h"
#include "store/ContentFiles.h"
#include "store/FileCalls.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;
using Ids = std::vector<std::string>;

namespace {

const CDateTime now(2004, 3, 5, 14, 7, 9);

CMeeting Meeting(std::string id, std::string title = "") {
    CMeeting record(CDateTime(2004, 4, 1, 10, 0, 0));
    record.id = std::move(id);
    record.title = std::move(title);
    return record;
}

class MeetingStore : public ::testing::Test {
protected:
    void SetUp() override {
        SetWorkingDirectory(folder.Path());
        SetClock([] { return now; });
    }
    void TearDown() override {
        SetClock({});
        SetWorkingDirectory({});
    }
    // Lays a meeting file down by hand under any name, as another program might.
    void PutFile(const std::string& name, const CMeeting& record) {
        folder.WriteFile(name, EncodeMeeting(record));
    }

    CTempFolder folder;
    CMeetingStore store;
};

} // namespace

// 2004030514071010 hashes to bucket 1 and 2004030514070910 to bucket 11: buckets enumerate in
// order whatever the insertion order (see LoadAllScansMeetingFiles); within one bucket's chain
// the newest key comes first.
TEST(MeetingMap, EnumerationOrderWithinAChain) {
    const Ids chain = {"2004030514000910", "2004030514010810", "2004030514011910"};
    CMeetingMap map;
    for (const std::string& key : chain) {
        ASSERT_EQ(CMeetingMap::BucketOf(key), 4u);
        map.SetAt(key, CMeeting());
    }
    map.SetAt(chain[0], Meeting("", "changed"));
    EXPECT_EQ(map.GetKeys(), (Ids{chain[2], chain[1], chain[0]})) << "replacing keeps the place";
    EXPECT_EQ(map.Find(chain[0])->title, "changed");
    EXPECT_TRUE(map.RemoveKey(chain[1]));
    EXPECT_EQ(map.GetKeys(), (Ids{chain[2], chain[0]}));
    EXPECT_TRUE(map.Contains(chain[0])) << "a removal must not cut the chain";
}

// A shortcut may point at a meeting that is gone, whose record then has no id of its own.
TEST(MeetingMap, KeysOtherThanTheRecordsId) {
    const std::string key = "2004030514070910";
    CMeetingMap map;
    map.SetAt(key, Meeting("", "Gone"));
    CMeeting record = Meeting(key, "Back");
    map.SetAt("2004030514071010", Meeting("other"));
    EXPECT_EQ(map.GetKeys(), (Ids{"2004030514071010", key}));
    map.SetAt(record.id, std::move(record)); // the key views the record being moved in
    map.SetAt("2004030514071010", Meeting("2004030514071010"));
    const CMeetingMap copy = map;
    for (const CMeetingMap* m : {static_cast<const CMeetingMap*>(&map), &copy}) {
        EXPECT_EQ(m->GetKeys(), (Ids{"2004030514071010", key}));
        ASSERT_NE(m->Find(key), nullptr);
        EXPECT_EQ(m->Find(key)->title, "Back");
        EXPECT_EQ(m->Find("2004030514071010")->id, "2004030514071010");
    }
    map.SetAt(key, Meeting("", "Gone again"));
    EXPECT_TRUE(map.RemoveKey(key));
    EXPECT_FALSE(map.Contains(key));
}

// Removals leave the open slot table able to find every key that stays, and no key twice.
TEST(MeetingMap, ManyInsertsAndRemovalsStayFindable) {
    CMeetingMap map;
    std::set<std::string> expected;
    std::mt19937 random(17);
    for (int step = 0; step < 20000; ++step) {
        const std::string key = MakeMeetingIdAt(CDateTime(38000.0).AddSeconds(random() % 3000));
        if (random() % 3 == 0) {
            ASSERT_EQ(map.RemoveKey(key), expected.erase(key) == 1) << "step " << step;
        } else {
            map.SetAt(key, CMeeting());
            expected.insert(key);
        }
    }
    Ids keys = map.GetKeys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, Ids(expected.begin(), expected.end()));
}

TEST_F(MeetingStore, GetModifyAddAndDelete) {
    EXPECT_EQ(store.GetMeeting("2004030514070910"), CMeeting(now))
        << "an unknown id gives an empty record dated now";
    const CMeeting record = Meeting("2004030514070910", "Budget");
    store.ModifyMeeting(record);
    EXPECT_EQ(store.GetMeeting(record.id), record) << "modifying an unknown id adds it";
    EXPECT_EQ(folder.ReadFile("meeting2004030514070910.mtg"), EncodeMeeting(record));

    const std::string id = store.AddMeeting(Meeting("ignored", "New"));
    WriteAgendaFile(id, {{now, "Welcome"}});
    WriteAttendeeFile(id, {"Ann"});
    WriteMinutesFile(id, {"Agreed"});
    WriteTodoFile(id, {{"call", 1, 0}});
    store.DeleteMeeting(id);
    for (const fs::directory_entry& left : fs::directory_iterator(folder.Path())) {
        EXPECT_EQ(left.path().filename(), "meeting2004030514070910.mtg")
            << "deleting one meeting leaves only the other's file";
    }
    store.DeleteMeeting(record.id);
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(fs::is_empty(folder.Path())) << "every file of the meetings must be gone";

    // With its meeting file gone, deleting fails, but only after removing the content files.
    const std::string orphan = store.AddMeeting(Meeting("", "Orphan"));
    WriteTodoFile(orphan, {{"call", 1, 0}});
    fs::remove(MeetingFilePath(orphan));
    EXPECT_THROW(store.DeleteMeeting(orphan), CFileError);
    EXPECT_TRUE(fs::is_empty(folder.Path()));
    EXPECT_EQ(store.GetMeeting(orphan).title, "Orphan") << "the record stays until the next load";
}

// An import adds thousands of meetings within a second: each add starts after the ids the
// adds before it took, and still skips a file on disk and gives a deleted meeting's id again.
TEST_F(MeetingStore, AddsInARowKeepEveryIdFree) {
    PutFile("meeting2004030514071110.mtg", Meeting("2004030514071110", "On disk"));
    std::vector<std::string> ids;
    for (int i = 0; i < 4; ++i) {
        ids.push_back(store.AddMeeting(Meeting("")));
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"2004030514070910", "2004030514071010",
                                             "2004030514071210", "2004030514071310"}));
    store.DeleteMeeting("2004030514071010");
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514071010") << "a deleted meeting's id";
    PutFile("meeting2004030514071410.mtg", Meeting("2004030514071410", "Written meanwhile"));
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514071510");
    fs::remove(folder.Path() / "meeting2004030514070910.mtg");
    store.LoadAll();
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514070910") << "a reload forgets";
    EXPECT_EQ(store.GetCount(), 7u);
}

TEST_F(MeetingStore, IdsMadeWithinOneSecond) {
    // A meeting file nobody has loaded already holds the clock's id.
    PutFile("meeting2004030514070910.mtg", Meeting("2004030514070910", "On disk"));
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514071010");
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514071110");

    // A clock that cannot step on must throw, not spin, overwrite the meeting holding the id
    // or make an id of another form (which names files no save or delete would name alike).
    SetClock([] { return CDateTime(0.0, CDateTime::invalid); });
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError) << "an invalid date gives no id";
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError);
    SetClock([] { return CDateTime(9999, 12, 31, 23, 59, 59); });
    EXPECT_EQ(store.AddMeeting(Meeting("")), "9999123123595910");
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError) << "no second after the last one";
    EXPECT_EQ(store.GetCount(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 4)
        << "a refused id writes no file";
}

TEST_F(MeetingStore, IdsThatCannotNameAFileAreRefused) {
    fs::create_directory(folder / "meetinga"); // so that "a/b" would name a writable path
    PutFile("meeting1.mtg", Meeting("a/b"));
    PutFile("meeting2.mtg", Meeting(""));
    store.LoadAll();
    EXPECT_EQ(store.GetSkippedFiles().size(), 2u);
    EXPECT_THROW(store.ModifyMeeting(Meeting("a/b")), CFileError);
    EXPECT_THROW(store.ModifyMeeting(Meeting("")), CFileError);
    EXPECT_THROW(store.DeleteMeeting("../meeting1"), CFileError);
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(fs::is_empty(folder / "meetinga"));
    EXPECT_TRUE(folder.Exists("meeting1.mtg"));

    // Content files and deletion trim the id: one with blanks around it names another
    // meeting's files, so it is damaged on disk and refused by deletion.
    const std::string intact = "2004030514070910";
    store.ModifyMeeting(Meeting(intact, "Intact"));
    WriteMinutesFile(intact, {"Agreed"});
    PutFile("meeting3.mtg", Meeting(" " + intact));
    PutFile("meeting4.mtg", Meeting(intact + "\t"));
    store.LoadAll();
    EXPECT_EQ(store.GetSkippedFiles().size(), 4u);
    EXPECT_EQ(store.GetMap().GetKeys(), Ids{intact});
    EXPECT_THROW(store.DeleteMeeting(" " + intact + " "), CFileError);
    EXPECT_THROW(store.ModifyMeeting(Meeting(intact + " ")), CFileError);
    EXPECT_EQ(ReadMinutesFile(intact), Ids{"Agreed"});
    EXPECT_EQ(store.GetMeeting(intact).title, "Intact");
}

// 683 of 126,136 single bit flips in real files gave a file another meeting's id; by name
// order it won, the intact meeting vanished and its next save overwrote its good file.
TEST_F(MeetingStore, AFileHoldingAnotherMeetingsIdIsDamaged) {
    const std::string intact = "2004030514070910";
    PutFile("meeting" + intact + ".mtg", Meeting(intact, "Intact"));
    PutFile("meeting2004030514071010.mtg", Meeting(intact, "Flipped"));
    PutFile("z-copy.mtg", Meeting(intact, "Copy"));
    PutFile("renamed.mtg", Meeting("2004030514071110", "Renamed"));
    store.LoadAll();
    EXPECT_EQ(store.GetMeeting(intact).title, "Intact");
    EXPECT_EQ(store.GetMeeting("2004030514071110").title, "Renamed")
        << "a renamed file whose id is free still loads";
    EXPECT_EQ(
        store.GetSkippedFiles(),
        (std::vector<fs::path>{folder / "meeting2004030514071010.mtg", folder / "z-copy.mtg"}))
        << "both listed as damaged, in name order";

    CMeetingStore single;
    EXPECT_EQ(single.ReadMeetingFile(folder / "z-copy.mtg"), CMeetingStore::ReadResult::malformed);
    EXPECT_EQ(single.ReadMeetingFile(folder / "renamed.mtg"), CMeetingStore::ReadResult::loaded);
}

// Files are read in whatever order the folder lists them, yet the result must be that of
// inserting them in name order: the later name wins and the chains keep that order.
TEST_F(MeetingStore, LoadAllActsAsIfInNameOrder) {
    std::vector<std::pair<std::string, CMeeting>> files;
    for (int i = 0; i < 60; ++i) {
        const std::string id = MakeMeetingIdAt(now.AddSeconds(i * 7));
        files.emplace_back("meeting" + id + ".mtg", Meeting(id, "Own " + std::to_string(i)));
        if (i % 10 == 3) { // two renamed copies of an id whose own file is missing
            files.pop_back();
            files.emplace_back("copy" + std::to_string(i) + "-a.mtg", Meeting(id, "First"));
            files.emplace_back("copy" + std::to_string(i) + "-b.mtg", Meeting(id, "Later"));
        }
    }
    std::shuffle(files.begin(), files.end(), std::mt19937(5));
    for (const auto& [name, record] : files) {
        PutFile(name, record);
    }
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    CMeetingMap expected;
    std::set<std::size_t> buckets;
    for (const auto& [name, record] : files) {
        expected.SetAt(record.id, record);
        buckets.insert(CMeetingMap::BucketOf(record.id));
    }
    ASSERT_GT(buckets.size(), 10u) << "the ids must spread over many chains";

    store.LoadAll();
    EXPECT_EQ(store.GetMap().GetKeys(), expected.GetKeys());
    for (const CMeetingMap::Entry& entry : store) {
        EXPECT_EQ(entry.value, *expected.Find(entry.Key())) << entry.Key();
    }
    EXPECT_EQ(store.GetMeeting(MakeMeetingIdAt(now.AddSeconds(21))).title, "Later");
}

TEST_F(MeetingStore, LoadAllReportsProgress) {
    for (int i = 0; i < 600; ++i) {
        const std::string id = MakeMeetingIdAt(now.AddSeconds(i));
        PutFile("meeting" + id + ".mtg", Meeting(id));
    }
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    store.LoadAll(
        [&](std::size_t loaded, std::size_t total) { calls.emplace_back(loaded, total); });
    ASSERT_EQ(calls.size(), 3u);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].second, 600u);
        EXPECT_TRUE(i == 0 || calls[i].first > calls[i - 1].first) << "call " << i;
    }
    EXPECT_EQ(calls.back().first, 600u) << "the last call reports every file";
    EXPECT_EQ(store.GetCount(), 600u);

    fs::remove_all(folder.Path());
    fs::create_directory(folder.Path());
    calls.clear();
    store.LoadAll(
        [&](std::size_t loaded, std::size_t total) { calls.emplace_back(loaded, total); });
    EXPECT_EQ(calls, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}}))
        << "an empty folder still ends the progress";
}

TEST_F(MeetingStore, LoadAllScansMeetingFiles) {
    const std::string bytes = EncodeMeeting(Meeting("2004030514070910", "Eleven"));
    folder.WriteFile("meeting2004030514070910.mtg", bytes);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        folder.WriteFile("cut" + std::to_string(1000 + length) + ".mtg", bytes.substr(0, length));
    }
    PutFile("meeting2004030514071010.MTG", Meeting("2004030514071010", "Upper case"));
    PutFile("a-copy.mtg", Meeting("2004030514071010", "Copy"));
    PutFile("z-renamed.mtg", Meeting("2004030514071110", "Renamed"));
    PutFile("meeting2004030514071210.mtg.tmp", Meeting("2004030514071210"));
    PutFile("notes.txt", Meeting("2004030514071310"));
    fs::create_directory(folder / "x.mtg");
    store.LoadAll();
    EXPECT_EQ(store.GetMap().GetKeys(),
              (Ids{"2004030514071010", "2004030514071110", "2004030514070910"}));
    EXPECT_EQ(store.GetMeeting("2004030514071010").title, "Upper case")
        << "of two files with one id the later name wins";
    EXPECT_EQ(store.GetMeeting("2004030514071110").title, "Renamed");
    EXPECT_EQ(store.GetSkippedFiles().size(), bytes.size()) << "each cut file, and only those";
}

TEST_F(MeetingStore, PipesAndDevicesNeverStallAScan) {
    const std::string id = "2004030514070910";
    PutFile("real.bin", Meeting(id));
    fs::create_symlink(folder / "real.bin", folder / "link.mtg");
    fs::create_symlink("/dev/zero", folder / "zero.mtg");
    fs::create_symlink(folder / "missing", folder / "dangling.mtg");
    ASSERT_EQ(::mkfifo((folder / "pipe.mtg").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((folder / ("todo" + id + ".tdo")).c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", folder / ("kes" + id + ".kes"));
    store.LoadAll();
    EXPECT_EQ(store.GetMap().GetKeys(), (Ids{id}));
    EXPECT_TRUE(store.GetSkippedFiles().empty());
    EXPECT_TRUE(ReadTodoFile(id).empty());
    EXPECT_TRUE(ReadMinutesFile(id).empty());
}

TEST_F(MeetingStore, FailedWritesKeepMemoryAndFiles) {
    const CMeeting old = Meeting("2004030514070910", "Old");
    store.ModifyMeeting(old);
    // A disk that refuses the temporary file.
    struct CFullDisk : CFileCalls {
        int Open(const char*, int, mode_t) override {
            errno = ENOSPC;
            return -1;
        }
    } fullDisk;
    SetFileCalls(&fullDisk);
    EXPECT_THROW(store.ModifyMeeting(Meeting(old.id, "New")), CFileError);
    SetFileCalls(nullptr);
    EXPECT_EQ(store.GetMeeting(old.id), old) << "memory must not change when the file did not";
    EXPECT_EQ(DecodeMeeting(folder.ReadFile("meeting2004030514070910.mtg")), old);

    // A folder where the meeting file itself goes: the temporary file must not linger.
    const fs::path blocked = MeetingFilePath("2004030514071010");
    fs::create_directory(blocked);
    EXPECT_THROW(store.ModifyMeeting(Meeting("2004030514071010")), CFileError);
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        EXPECT_FALSE(IsTemporaryFileName(entry.path().filename().string())) << entry.path();
    }

    SetWorkingDirectory(folder / "gone");
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError);
    EXPECT_EQ(store.GetMap().GetKeys(), (Ids{old.id}));
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 0u) << "loading from a missing folder finds nothing";
}
