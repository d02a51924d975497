#include "store/MeetingStore.h"
#include "store/Clock.h"
#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const CDateTime now(2004, 3, 5, 14, 7, 9);

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

    static CMeeting Meeting(std::string id, std::string title) {
        CMeeting record(CDateTime(2004, 4, 1, 10, 0, 0));
        record.id = std::move(id);
        record.title = std::move(title);
        return record;
    }

    // Lays a meeting file down by hand under any name, as another program might.
    void PutFile(const std::string& name, const CMeeting& record) {
        folder.WriteFile(name, EncodeMeeting(record));
    }

    CTempFolder folder;
    CMeetingStore store;
};

} // namespace

TEST(MeetingMap, EnumerationOrder) {
    EXPECT_EQ(CMeetingMap::HashKey("2004030514070910"), 693842788u);
    EXPECT_EQ(CMeetingMap::HashKey("2004030514071010"), 693868924u);
    EXPECT_EQ(CMeetingMap::BucketOf("2004030514070910"), 11u);
    EXPECT_EQ(CMeetingMap::BucketOf("2004030514071010"), 1u);

    CMeetingMap map;
    map.SetAt("2004030514070910", CMeeting());
    map.SetAt("2004030514071010", CMeeting());
    EXPECT_EQ(map.GetKeys(), (std::vector<std::string>{"2004030514071010", "2004030514070910"}))
        << "bucket 1 comes before bucket 11 whatever the insertion order";

    // Three keys sharing one chain: newest first, a replaced value keeps its place.
    std::vector<std::string> chain;
    for (int second = 0; chain.size() < 3; ++second) {
        std::string key = MakeMeetingIdAt(CDateTime(2004, 3, 5, 14, 0, 0).AddSeconds(second));
        if (CMeetingMap::BucketOf(key) == 4) {
            chain.push_back(key);
        }
    }
    CMeetingMap same;
    for (const std::string& key : chain) {
        same.SetAt(key, CMeeting());
    }
    EXPECT_EQ(same.GetKeys(), (std::vector<std::string>{chain[2], chain[1], chain[0]}));
    CMeeting changed;
    changed.title = "changed";
    same.SetAt(chain[0], changed);
    EXPECT_EQ(same.GetKeys(), (std::vector<std::string>{chain[2], chain[1], chain[0]}))
        << "replacing a value must not move its entry";
    EXPECT_EQ(same.Find(chain[0])->title, "changed");

    const CMeetingMap copy = same;
    EXPECT_EQ(copy.GetKeys(), same.GetKeys()) << "a copy keeps the enumeration order";

    EXPECT_TRUE(same.RemoveKey(chain[1]));
    EXPECT_FALSE(same.RemoveKey(chain[1]));
    EXPECT_EQ(same.GetKeys(), (std::vector<std::string>{chain[2], chain[0]}));
    same.RemoveAll();
    EXPECT_EQ(same.GetCount(), 0u);
    EXPECT_TRUE(same.begin() == same.end());
    same.SetAt(chain[1], CMeeting());
    EXPECT_EQ(same.GetKeys(), (std::vector<std::string>{chain[1]}));
}

TEST_F(MeetingStore, UnknownIdsGetAndModify) {
    const CMeeting unknown = store.GetMeeting("2004030514070910");
    EXPECT_TRUE(unknown.id.empty());
    EXPECT_EQ(unknown.date, now) << "an unknown id gives a record dated now";
    EXPECT_TRUE(unknown.title.empty());
    EXPECT_EQ(unknown.icon, 0);

    const CMeeting record = Meeting("2004030514070910", "Budget");
    store.ModifyMeeting(record);
    EXPECT_EQ(store.GetMeeting(record.id), record) << "modifying an unknown id adds it";
    EXPECT_EQ(folder.ReadFile("meeting2004030514070910.mtg"), EncodeMeeting(record));
}

TEST_F(MeetingStore, AddThenDeleteLeavesNothing) {
    const std::string id = store.AddMeeting(Meeting("ignored", "New"));
    EXPECT_EQ(id, "2004030514070910");
    EXPECT_EQ(store.GetMeeting(id).title, "New");
    EXPECT_EQ(store.GetMeeting(id).id, id);
    WriteAgendaFile(id, {{CDateTime(0.5), "Opening"}});
    WriteAttendeeFile(id, {"Ann"});

    store.DeleteMeeting(id);
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(fs::is_empty(folder.Path())) << "every file of the meeting must be gone";
}

TEST_F(MeetingStore, DeleteWithMissingMeetingFile) {
    const std::string id = store.AddMeeting(Meeting("", "Orphan"));
    WriteTodoFile(id, {{"call", 1, 0}});
    fs::remove(MeetingFilePath(id));

    EXPECT_THROW(store.DeleteMeeting(id), CFileError);
    EXPECT_FALSE(folder.Exists("todo" + id + ".tdo")) << "content files go before the error";
    EXPECT_EQ(store.GetMeeting(id).title, "Orphan") << "the record stays until the next load";
}

TEST_F(MeetingStore, IdsMadeWithinOneSecond) {
    // A meeting file nobody has loaded already holds the clock's id.
    PutFile("meeting2004030514070910.mtg", Meeting("2004030514070910", "On disk"));
    const std::string first = store.AddMeeting(Meeting("", "First"));
    const std::string second = store.AddMeeting(Meeting("", "Second"));
    EXPECT_EQ(first, "2004030514071010") << "an existing meeting file's id is not reused";
    EXPECT_EQ(second, "2004030514071110") << "an id in the store is not reused";
    EXPECT_EQ(DecodeMeeting(folder.ReadFile("meeting2004030514070910.mtg"))->title, "On disk");

    SetClock([] { return CDateTime(2004, 12, 31, 23, 59, 59); });
    EXPECT_EQ(store.AddMeeting(Meeting("", "a")), "2004123123595910");
    EXPECT_EQ(store.AddMeeting(Meeting("", "b")), "2005010100000010")
        << "stepping forward carries into the next year and keeps the format";

    // A clock that cannot step on must not spin or overwrite the meeting holding the id.
    SetClock([] { return CDateTime(0.0, CDateTime::invalid); });
    store.AddMeeting(Meeting("", "c"));
    EXPECT_THROW(store.AddMeeting(Meeting("", "d")), CFileError);
}

TEST_F(MeetingStore, IdsThatWouldNameFilesElsewhereAreRefused) {
    fs::create_directories(folder / "sub");
    PutFile("meeting1.mtg", Meeting("/../sub/x", "Escape"));
    PutFile("meeting2.mtg", Meeting("", "Nameless"));
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_EQ(store.GetSkippedFiles().size(), 2u) << "both are reported as damaged";
    EXPECT_THROW(store.ModifyMeeting(Meeting("a/b", "x")), CFileError);
    EXPECT_THROW(store.DeleteMeeting("../meeting1"), CFileError);
    EXPECT_TRUE(folder.Exists("meeting1.mtg"));
}

TEST_F(MeetingStore, LoadAllScansMeetingFiles) {
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 0u) << "an empty folder";
    SetWorkingDirectory(folder / "missing");
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 0u) << "a missing folder";
    SetWorkingDirectory(folder.Path());

    PutFile("meeting2004030514070910.mtg", Meeting("2004030514070910", "Eleven"));
    PutFile("meeting2004030514071010.MTG", Meeting("2004030514071010", "Upper case"));
    PutFile("a-copy.mtg", Meeting("2004030514071010", "Copy"));
    PutFile("z-renamed.mtg", Meeting("2004030514071110", "Renamed"));
    PutFile("meeting2004030514071210.mtg.tmp", Meeting("2004030514071210", "Temporary"));
    PutFile("notes.txt", Meeting("2004030514071310", "Other"));
    fs::create_directory(folder / "x.mtg");
    folder.WriteFile("bad.mtg", "\x10"
                                "2004");
    folder.WriteFile("empty.mtg", "");

    store.LoadAll();
    EXPECT_EQ(
        store.GetMap().GetKeys(),
        (std::vector<std::string>{"2004030514071010", "2004030514071110", "2004030514070910"}));
    EXPECT_EQ(store.GetMeeting("2004030514071010").title, "Upper case")
        << "of two files with one id the later name wins";
    EXPECT_EQ(store.GetMeeting("2004030514071110").title, "Renamed")
        << "a file named otherwise loads under the id inside it";
    EXPECT_EQ(store.GetSkippedFiles(),
              (std::vector<fs::path>{folder / "bad.mtg", folder / "empty.mtg"}));

    // Saving the renamed meeting writes the file named by the rule and leaves the other.
    store.ModifyMeeting(store.GetMeeting("2004030514071110"));
    EXPECT_TRUE(folder.Exists("meeting2004030514071110.mtg"));
    EXPECT_TRUE(folder.Exists("z-renamed.mtg"));

    store.RemoveAll();
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(store.begin() == store.end());
}

TEST_F(MeetingStore, PipesAndDevicesNeverStallAScan) {
    const CMeeting record = Meeting("2004030514070910", "Linked");
    PutFile("real.bin", record);
    fs::create_symlink(folder / "real.bin", folder / "link.mtg");
    fs::create_symlink("/dev/zero", folder / "zero.mtg");
    fs::create_symlink(folder / "missing", folder / "dangling.mtg");
    ASSERT_EQ(::mkfifo((folder / "pipe.mtg").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((folder / "todo2004030514070910.tdo").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", folder / "kes2004030514070910.kes");

    store.LoadAll();
    EXPECT_EQ(store.GetMap().GetKeys(), (std::vector<std::string>{record.id}));
    EXPECT_TRUE(store.GetSkippedFiles().empty());
    EXPECT_EQ(store.ReadMeetingFile(folder / "pipe.mtg"), CMeetingStore::ReadResult::unreadable);
    EXPECT_TRUE(ReadTodoFile(record.id).empty());
    EXPECT_TRUE(ReadMinutesFile(record.id).empty());
}

TEST_F(MeetingStore, EveryTruncatedMeetingFileIsSkipped) {
    const std::string bytes = EncodeMeeting(Meeting("2004030514070910", "Whole"));
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        folder.WriteFile("cut" + std::to_string(1000 + length) + ".mtg", bytes.substr(0, length));
    }
    folder.WriteFile("whole.mtg", bytes);
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 1u);
    EXPECT_EQ(store.GetMeeting("2004030514070910").title, "Whole");
    EXPECT_EQ(store.GetSkippedFiles().size(), bytes.size()) << "each cut file is listed once";
}

TEST_F(MeetingStore, FailedWritesKeepMemoryAndFiles) {
    const CMeeting old = Meeting("2004030514070910", "Old");
    store.ModifyMeeting(old);
    const fs::path file = MeetingFilePath(old.id);
    const std::string oldBytes = folder.ReadFile(file.filename().string());

    // A folder where the temporary file goes.
    fs::create_directory(TemporaryPathFor(file));
    EXPECT_THROW(store.ModifyMeeting(Meeting(old.id, "New")), CFileError);
    EXPECT_EQ(store.GetMeeting(old.id), old) << "memory must not change when the file did not";
    EXPECT_EQ(folder.ReadFile(file.filename().string()), oldBytes);
    fs::remove(TemporaryPathFor(file));

    // A folder where the meeting file itself goes: the temporary file must not linger.
    const std::string otherId = "2004030514071010";
    fs::create_directory(MeetingFilePath(otherId));
    EXPECT_THROW(store.ModifyMeeting(Meeting(otherId, "Blocked")), CFileError);
    EXPECT_FALSE(store.GetMap().Contains(otherId));
    EXPECT_FALSE(fs::exists(TemporaryPathFor(MeetingFilePath(otherId))));

    // A working folder that has gone away.
    SetWorkingDirectory(folder / "gone");
    try {
        store.AddMeeting(Meeting("", "Lost"));
        ADD_FAILURE() << "adding into a missing folder must fail";
    } catch (const CFileError& error) {
        EXPECT_NE(error.GetPath().find("gone"), std::string::npos) << error.what();
    }
    EXPECT_EQ(store.GetCount(), 1u);
}

TEST(MeetingMap, ManyInsertsAndRemovalsStayFindable) {
    CMeetingMap map;
    std::set<std::string> expected;
    std::mt19937 random(17);
    for (int step = 0; step < 20000; ++step) {
        const std::string key = MakeMeetingIdAt(
            CDateTime(2004, 1, 1, 0, 0, 0).AddSeconds(static_cast<long long>(random() % 3000)));
        if (random() % 3 == 0) {
            EXPECT_EQ(map.RemoveKey(key), expected.erase(key) == 1) << "step " << step;
        } else {
            map.SetAt(key, CMeeting(CDateTime(step)));
            expected.insert(key);
        }
    }
    ASSERT_EQ(map.GetCount(), expected.size());
    const std::vector<std::string> keys = map.GetKeys();
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()), expected);
    for (const std::string& key : expected) {
        EXPECT_TRUE(map.Contains(key)) << key;
    }
}
