#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "tests/store/AllocationProbe.h"
#include "tests/support/StoreFolder.h"

#include <fstream>
#include <list>
#include <map>
#include <random>
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

// A file of `size` bytes that starts with `head` and is zeros after it, without writing them.
void MakeSparseFile(const fs::path& path, std::string_view head, std::size_t size) {
    std::ofstream(path, std::ios::binary).write(head.data(), std::ssize(head));
    fs::resize_file(path, size);
}

} // namespace

// Buckets enumerate in order whatever the insertion order; within one bucket's chain the
// newest key comes first, a replaced record keeps its place and a removal keeps the chain. As a
// plain model of the chains through many inserts and removals, which must also leave the open
// slot table able to find every key that stays, and no key twice. A record may be stored under
// a key other than its id (a shortcut to a meeting that is gone), or under a view of its own id.
TEST(MeetingMap, ChainsAsAPlainModelThroughManyInsertsAndRemovals) {
    CMeetingMap map;
    std::map<std::size_t, std::list<std::string>> chains; // newest key first
    std::map<std::string, std::string> titles;
    std::mt19937 random(17);
    for (int step = 0; step < 20000; ++step) {
        const std::string key = MakeMeetingIdAt(CDateTime(38000.0).AddSeconds(random() % 3000));
        std::list<std::string>& chain = chains[CMeetingMap::BucketOf(key)];
        const auto at = std::find(chain.begin(), chain.end(), key);
        if (random() % 3 == 0) {
            ASSERT_EQ(map.RemoveKey(key), at != chain.end()) << "step " << step;
            if (at != chain.end()) {
                chain.erase(at);
            }
            continue;
        }
        CMeeting record = Meeting(step % 2 == 0 ? key : "", std::to_string(step));
        if (step % 2 == 0) {
            map.SetAt(record.id, std::move(record)); // the key views the record moved in
        } else {
            map.SetAt(key, record);
        }
        titles[key] = std::to_string(step);
        if (at == chain.end()) {
            chain.push_front(key);
        }
    }
    Ids keys;
    for (const auto& [bucket, chain] : chains) {
        keys.insert(keys.end(), chain.begin(), chain.end());
    }
    const CMeetingMap copy = map;
    ASSERT_EQ(copy.GetKeys(), keys);
    for (const std::string& key : keys) {
        ASSERT_EQ(copy.Find(key)->title, titles[key]) << key;
    }
}

// What each call does to memory and disk, and what a call that cannot be carried out leaves.
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

    // A folder in the meeting file's place, or a working directory gone: the save fails loudly,
    // memory keeps what the disk has and no temporary file lingers.
    const CMeeting old = Meeting("2004030514070910", "Old");
    store.ModifyMeeting(old);
    fs::create_directory(MeetingFilePath("2004030514071010"));
    EXPECT_THROW(store.ModifyMeeting(Meeting("2004030514071010")), CFileError);
    for (const std::string& name : Names()) {
        EXPECT_FALSE(IsTemporaryFileName(name)) << name;
    }
    const Ids keys = store.GetMap().GetKeys();
    SetWorkingDirectory(folder / "gone");
    EXPECT_THROW(store.AddMeeting(Meeting("")), CFileError);
    EXPECT_THROW(WriteMinutesFile(old.id, {"lost"}), CFileError);
    EXPECT_EQ(store.GetMap().GetKeys(), keys);
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 0u) << "loading from a missing folder finds nothing";
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

// Pipes, devices, links and files past the size limit in the folder: nothing stalls on them or
// is sized by them. A link to a meeting file loads, an oversized meeting file is damaged like
// any other, and content files read as empty lists.
TEST_F(MeetingStore, HostileFilesNeitherStallNorSwellAScan) {
    const std::string id = "2004030514070910";
    PutFile("real.bin", Meeting(id));
    fs::create_symlink(folder / "real.bin", folder / "link.mtg");
    fs::create_symlink("/dev/zero", folder / "zero.mtg");
    fs::create_symlink(folder / "missing", folder / "dangling.mtg");
    ASSERT_EQ(::mkfifo((folder / "pipe.mtg").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((folder / ("todo" + id + ".tdo")).c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", folder / ("agenda" + id + ".agd"));
    // A count of millions of empty entries: gigabytes of strings, were it read.
    const std::string manyEmptyEntries = "\xFF\xFF\xFF\x7F";
    MakeSparseFile(ContentFilePath(ContentKind::attendees, id), manyEmptyEntries,
                   maxDataFileSize + 1);
    MakeSparseFile(ContentFilePath(ContentKind::minutes, id), manyEmptyEntries + '\0', 5);
    const std::string oversized = "2004030514071010";
    MakeSparseFile(MeetingFilePath(oversized), EncodeMeeting(Meeting(oversized)),
                   maxDataFileSize + 1);
    store.LoadAll();
    EXPECT_EQ(store.GetMap().GetKeys(), (Ids{id}));
    EXPECT_EQ(store.GetSkippedFiles(), std::vector<fs::path>{MeetingFilePath(oversized)});
    CLargestAllocation probe;
    EXPECT_TRUE(ReadTodoFile(id).empty());
    EXPECT_TRUE(ReadAgendaFile(id).empty());
    EXPECT_TRUE(ReadAttendeeFile(id).empty());
    EXPECT_LE(probe.Get(), 64u * 1024) << "nothing may be sized by the oversized file";
    EXPECT_EQ(ReadMinutesFile(id), Ids{""}) << "a small file still reads";
}
