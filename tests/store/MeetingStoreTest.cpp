#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/StoreFolder.h"

#include <random>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;
using Ids = std::vector<std::string>;

namespace {

const CDateTime now(2004, 3, 5, 14, 7, 9);

CMeeting Meeting(std::string id, std::string title = "") {
    return MeetingAt(std::move(id), CDateTime(2004, 4, 1, 10, 0, 0), std::move(title));
}

class MeetingStore : public CStoreFolderTest {
protected:
    void SetUp() override {
        CStoreFolderTest::SetUp();
        SetClock([] { return now; });
    }
};

} // namespace

// Buckets enumerate in order whatever the insertion order; within one bucket's chain the
// newest key comes first, a replaced record keeps its place and a removal keeps the chain.
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
    map.SetAt(record.id, std::move(record)); // the key views the record being moved in
    map.SetAt("2004030514071010", Meeting("2004030514071010"));
    const CMeetingMap copy = map;
    EXPECT_EQ(copy.GetKeys(), (Ids{"2004030514071010", key}));
    EXPECT_EQ(copy.Find(key)->title, "Back");
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
    WriteTodoFile(id, {{"call", 1, 0}});
    store.DeleteMeeting(id);
    EXPECT_EQ(Names(), Ids{"meeting2004030514070910.mtg"}) << "only the other meeting's file";
    store.DeleteMeeting(record.id);
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_TRUE(Names().empty());

    // With its meeting file gone, deleting fails, but only after removing the content files.
    const std::string orphan = store.AddMeeting(Meeting("", "Orphan"));
    WriteTodoFile(orphan, {{"call", 1, 0}});
    fs::remove(MeetingFilePath(orphan));
    EXPECT_THROW(store.DeleteMeeting(orphan), CFileError);
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(store.GetMeeting(orphan).title, "Orphan") << "the record stays until the next load";
}

// An import adds thousands of meetings within a second: each add starts after the ids the adds
// before it took, skips a file on disk and gives a deleted meeting's id again. A clock that
// cannot step on throws rather than spin, overwrite or make an id of another form.
TEST_F(MeetingStore, IdsMadeInARow) {
    PutFile(Meeting("2004030514071110", "On disk"));
    Ids ids;
    for (int i = 0; i < 4; ++i) {
        ids.push_back(store.AddMeeting(Meeting("")));
    }
    EXPECT_EQ(
        ids, (Ids{"2004030514070910", "2004030514071010", "2004030514071210", "2004030514071310"}));
    store.DeleteMeeting("2004030514071010");
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514071010") << "a deleted meeting's id";
    PutFile(Meeting("2004030514071410", "Written meanwhile"));
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514071510");
    fs::remove(folder.Path() / "meeting2004030514070910.mtg");
    store.LoadAll();
    EXPECT_EQ(store.AddMeeting(Meeting("")), "2004030514070910") << "a reload forgets";

    SetClock([] { return CDateTime(0.0, CDateTime::invalid); });
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError) << "an invalid date gives no id";
    SetClock([] { return CDateTime(9999, 12, 31, 23, 59, 59); });
    EXPECT_EQ(store.AddMeeting(Meeting("")), "9999123123595910");
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError) << "no second after the last one";
    EXPECT_EQ(store.GetCount(), 8u);
    EXPECT_EQ(Names().size(), 8u) << "a refused id writes no file";
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
}

// Files are read in whatever order the folder lists them, yet the result must be that of
// inserting them in name order: the later name wins and the chains keep that order. A file
// holding another meeting's id (a bit flip in a real file) would win by name order and its next
// save would overwrite the intact meeting's good file: it is damaged, and so are files cut
// short; files of other names and kinds are passed over.
TEST_F(MeetingStore, LoadAllActsAsIfInNameOrderAndListsTheDamaged) {
    std::vector<std::pair<std::string, CMeeting>> files;
    for (int i = 0; i < 60; ++i) {
        const std::string id = MakeMeetingIdAt(now.AddSeconds(i * 7));
        files.emplace_back("meeting" + id + ".mtg", Meeting(id, "Own " + std::to_string(i)));
        if (i % 10 == 3) { // two renamed copies of an id whose own file is missing
            files.pop_back();
            files.emplace_back("copy" + std::to_string(i) + "-a.mtg", Meeting(id, "First"));
            files.emplace_back("copy" + std::to_string(i) + "-b.MTG", Meeting(id, "Later"));
        }
    }
    std::shuffle(files.begin(), files.end(), std::mt19937(5));
    for (const auto& [name, record] : files) {
        PutFile(name, record);
    }
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    CMeetingMap expected;
    for (const auto& [name, record] : files) {
        expected.SetAt(record.id, record);
    }
    const std::string bytes = EncodeMeeting(Meeting("2099030514070910"));
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        folder.WriteFile("cut" + std::to_string(1000 + length) + ".mtg", bytes.substr(0, length));
    }
    const std::string flipped = "meeting2099030514071010.mtg";
    PutFile(flipped, Meeting(MakeMeetingIdAt(now), "Flipped"));
    PutFile("meeting2004030514071310.mtg.tmp", Meeting("2004030514071310"));
    PutFile("notes.txt", Meeting("2004030514071410"));
    fs::create_directory(folder / "x.mtg");
    std::vector<std::pair<std::size_t, std::size_t>> calls;
    store.LoadAll(
        [&](std::size_t loaded, std::size_t total) { calls.emplace_back(loaded, total); });
    EXPECT_EQ(store.GetMap().GetKeys(), expected.GetKeys());
    for (const CMeetingMap::Entry& entry : store) {
        EXPECT_EQ(entry.value, *expected.Find(entry.Key())) << entry.Key();
    }
    ASSERT_EQ(store.GetSkippedFiles().size(), bytes.size() + 1) << "each cut file, and the flip";
    EXPECT_EQ(store.GetSkippedFiles().back(), folder / flipped) << "in name order";
    EXPECT_EQ(CMeetingStore().ReadMeetingFile(folder / flipped),
              CMeetingStore::ReadResult::malformed);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().first, calls.back().second) << "the last progress call ends it";

    fs::remove_all(folder.Path());
    fs::create_directory(folder.Path());
    calls.clear();
    store.LoadAll(
        [&](std::size_t loaded, std::size_t total) { calls.emplace_back(loaded, total); });
    EXPECT_EQ(calls, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}}))
        << "an empty folder still ends the progress";
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

// A folder in the meeting file's place, or a working directory gone: the save fails loudly,
// memory keeps what the disk has and no temporary file lingers.
TEST_F(MeetingStore, SavesThatCannotHappenChangeNothing) {
    const CMeeting old = Meeting("2004030514070910", "Old");
    store.ModifyMeeting(old);
    fs::create_directory(MeetingFilePath("2004030514071010"));
    EXPECT_THROW(store.ModifyMeeting(Meeting("2004030514071010")), CFileError);
    for (const std::string& name : Names()) {
        EXPECT_FALSE(IsTemporaryFileName(name)) << name;
    }
    SetWorkingDirectory(folder / "gone");
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError);
    EXPECT_THROW(WriteMinutesFile(old.id, {"lost"}), CFileError);
    EXPECT_EQ(store.GetMap().GetKeys(), (Ids{old.id}));
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 0u) << "loading from a missing folder finds nothing";
}
