// How the store puts files on disk: a single save, a batch of an import, and what the
// listeners (the search index) hear of either.

#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/FileListener.h"
#include "store/MeetingFile.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/StoreFolder.h"

#include <cstring>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

namespace {

const std::string id = "2004030514070910";

CMeeting Meeting(std::string title) {
    return MeetingAt(id, CDateTime(2004, 4, 1, 10, 0, 0), std::move(title));
}

CNewMeeting Plain(std::string title) {
    CNewMeeting meeting{CMeeting(CDateTime(2026, 4, 2, 10, 0, 0)), {}, {}, {}, {}};
    meeting.record.title = std::move(title);
    return meeting;
}

CNewMeeting Full(std::string title) {
    CNewMeeting meeting = Plain(std::move(title));
    meeting.record.venue = "Hall \xe9";
    meeting.agenda = std::vector<CAgendaItem>{{meeting.record.date, "Opening"}};
    meeting.attendees = Texts{"Ann", "Bo"};
    meeting.todos = std::vector<CTodoItem>{{"Call", CTodoItem::high, 1}};
    meeting.minutes = Texts{"Agreed.\r\nDone."};
    return meeting;
}

// Writes down what it hears as "written <name>" / "removed <name>", and whether each written
// file was in place by then; throws when told to.
class CHeard : public CFileListener {
public:
    void FileWritten(const fs::path& path) override {
        allInPlace = allInPlace && fs::exists(path);
        Note("written ", path);
    }
    void FileRemoved(const fs::path& path) override { Note("removed ", path); }

    Texts heard;
    bool allInPlace = true;
    bool throws = false;

private:
    void Note(const char* what, const fs::path& path) {
        heard.push_back(what + path.filename().string());
        if (throws) {
            throw std::runtime_error("listener failed");
        }
    }
};

class Saving : public CStoreFolderTest {
protected:
    void SetUp() override {
        CStoreFolderTest::SetUp();
        SetClock([] { return CDateTime(2026, 3, 10, 9, 0, 0); });
        AddFileListener(&listener);
    }
    void TearDown() override {
        RemoveFileListener(&listener);
        CStoreFolderTest::TearDown();
    }

    Texts Add(std::vector<CNewMeeting> meetings, const CMeetingStore::AddProgress& progress = {}) {
        return store.AddMeetings(
            meetings.size(), [&](std::size_t i) { return meetings[i]; }, progress);
    }
    // The store holds exactly what a fresh load of the folder finds, and no temporary file
    // is left.
    void ExpectStoreMatchesFolder(const std::string& context) {
        CMeetingStore reread;
        reread.LoadAll();
        std::vector<CMeeting> inMemory, onDisk;
        for (const auto& entry : store) {
            inMemory.push_back(entry.value);
        }
        for (const auto& entry : reread) {
            onDisk.push_back(entry.value);
        }
        EXPECT_EQ(inMemory, onDisk) << context;
        for (const std::string& name : Names()) {
            EXPECT_FALSE(IsTemporaryFileName(name)) << context << ": left " << name;
        }
    }
    std::string MeetingBytes() const {
        return folder.ReadFile(MeetingFilePath(id).filename().string());
    }

    CRecordingCalls calls;
    CHeard listener;
};

} // namespace

// The bytes must be on disk before the new name points at them, and the rename itself must be
// made durable; otherwise a power cut can leave an empty meeting file in place of the old one.
// Whichever step fails, and however (a full disk, a failing one), the old file and the record
// in memory stay as they were, nothing is left behind, the listener hears nothing and the error
// names the file the user saved. Listeners hear of every change.
TEST_F(Saving, ASaveReachesTheDiskBeforeItsRenameOrChangesNothing) {
    SetFileCalls(&calls);
    const CMeeting old = Meeting("Old");
    store.ModifyMeeting(old);
    const fs::path target = MeetingFilePath(id);
    ASSERT_FALSE(calls.calls.empty());
    const std::string temporary = calls.calls.front().substr(std::strlen("open "));
    EXPECT_EQ(fs::path(temporary).parent_path(), target.parent_path()) << "beside the file";
    EXPECT_TRUE(IsTemporaryFileName(fs::path(temporary).filename().string())) << temporary;
    const auto flushed = calls.IndexOf("fsync " + temporary);
    const auto renamed = calls.IndexOf("rename " + temporary + " " + target.string());
    const auto folderFlushed = calls.IndexOf("fsync " + target.parent_path().string());
    EXPECT_LT(calls.IndexOf("write " + temporary), flushed);
    EXPECT_LT(flushed, renamed) << "not flushed before the rename";
    EXPECT_LT(renamed, folderFlushed) << "the rename not flushed";
    EXPECT_LT(folderFlushed, std::ssize(calls.calls));
    EXPECT_EQ(Names(), Texts{target.filename().string()});
    EXPECT_EQ(listener.heard, Texts{"written " + target.filename().string()});

    const std::string oldBytes = MeetingBytes();
    listener.heard.clear();
    for (const char* step : {"open", "write", "fsync", "close", "rename"}) {
        for (const int error : {ENOSPC, EIO}) {
            SCOPED_TRACE(std::string(step) + " fails with " + std::strerror(error));
            calls.Fail(step, error);
            try {
                store.ModifyMeeting(Meeting("New"));
                ADD_FAILURE() << "the save reported success";
            } catch (const CFileError& failure) {
                EXPECT_EQ(failure.GetPath(), target.string());
                EXPECT_EQ(failure.GetReason(), std::strerror(error));
            }
            EXPECT_EQ(store.GetMeeting(id), old) << "memory changed though the file did not";
            EXPECT_EQ(MeetingBytes(), oldBytes);
            EXPECT_EQ(Names().size(), 1u) << "a temporary file was left behind";
        }
    }
    calls.Fail("unlink", EACCES);
    EXPECT_THROW(store.DeleteMeeting(id), CFileError);
    EXPECT_TRUE(listener.heard.empty()) << listener.heard.front();

    // A listener that fails never fails a change that was made; one removed hears nothing more.
    SetFileCalls(nullptr);
    listener.throws = true;
    WriteTodoFile(id, {{"Call", CTodoItem::high, 0}});
    EXPECT_NO_THROW(store.DeleteMeeting(id));
    EXPECT_TRUE(Names().empty());
    EXPECT_EQ(listener.heard, (Texts{"written todo" + id + ".tdo", "removed todo" + id + ".tdo",
                                     "removed " + target.filename().string()}));
    RemoveFileListener(&listener);
    WriteTodoFile(id, {});
    EXPECT_EQ(listener.heard.size(), 3u);
}

// A stale link that happens to have the temporary name is never written through: the save
// takes another name, and what the link points at is untouched.
TEST_F(Saving, LinksInTheTemporaryFilesPlaceAreLeftAlone) {
    store.ModifyMeeting(Meeting("Old"));
    const std::string otherId = "2004030514071010";
    WriteMinutesFile(otherId, {"Other meeting's minutes"});
    const fs::path minutes = ContentFilePath(ContentKind::minutes, otherId);
    const std::string otherBytes = folder.ReadFile(minutes.filename().string());
    CTempFolder outside;
    // The first two names the save tries are taken: by a link out of the folder, and by a
    // hard link to another meeting's file.
    int tries = 0;
    calls.beforeOpen = [&](const char* path) {
        if (!IsTemporaryFileName(fs::path(path).filename().string())) {
            return;
        }
        if (++tries == 1) {
            fs::create_symlink(outside / "target", path);
        } else if (tries == 2) {
            fs::create_hard_link(minutes, path);
        }
    };
    SetFileCalls(&calls);
    store.ModifyMeeting(Meeting("Newer"));
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(DecodeMeeting(MeetingBytes())->title, "Newer");
    EXPECT_FALSE(fs::exists(outside / "target")) << "the save went through a link";
    EXPECT_EQ(folder.ReadFile(minutes.filename().string()), otherBytes)
        << "the save wrote through a hard link into another meeting's file";
}

// What saves cut short by a kill leave behind is cleared, and nothing else.
TEST_F(Saving, StaleTemporaryFilesAreRemovedAndNothingElse) {
    const std::string meeting = MeetingFilePath(id).filename().string();
    const Texts stale = {
        TemporaryPathFor(MeetingFilePath(id)).filename().string(),
        TemporaryPathFor(ContentFilePath(ContentKind::todos, id)).filename().string(),
        meeting + ".tmp", // the fixed name earlier versions used
    };
    const Texts kept = {
        meeting,        "notes.tmp",          meeting + ".abc.tmp", meeting + ".abcdefg!.tmp",
        ".mtg.tmp",     "x.txt.abcdefgh.tmp", meeting + ".TMP",     "report.mtg.abcdefgh.tmp.txt",
        ".tavelin.lock"};
    for (const std::string& name : stale) {
        folder.WriteFile(name, "cut");
    }
    for (const std::string& name : kept) {
        folder.WriteFile(name, "keep");
    }
    const fs::path link = TemporaryPathFor(MeetingFilePath(id));
    fs::create_symlink(folder / meeting, link);

    EXPECT_EQ(RemoveStaleTemporaryFiles(folder.Path()), stale.size());
    for (const std::string& name : stale) {
        EXPECT_FALSE(folder.Exists(name)) << name;
    }
    for (const std::string& name : kept) {
        EXPECT_EQ(folder.ReadFile(name), "keep") << name;
    }
    EXPECT_TRUE(fs::is_symlink(link)) << "a link is not ours to remove";
}

// A batch writes what the single writers would; every file is whole on disk before any name
// points at it (one flush of the file system before the first rename, opened before the first
// write so that it reports every write-back error), and the folder is flushed after the last.
// The listener hears of each file once, when it is in place.
TEST_F(Saving, ABatchWritesAsTheSingleWritersAndFlushesAroundItsRenames) {
    std::vector<std::pair<std::size_t, std::size_t>> reports;
    SetFileCalls(&calls);
    const Texts ids = Add({Full("One"), Plain("Two")}, [&](std::size_t done, std::size_t total) {
        reports.emplace_back(done, total);
    });
    SetFileCalls(nullptr);
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(reports, (std::vector<std::pair<std::size_t, std::size_t>>{{2, 2}}));
    const std::vector<std::ptrdiff_t> writes = calls.PlacesOf("write");
    const std::vector<std::ptrdiff_t> renames = calls.PlacesOf("rename");
    const std::vector<std::ptrdiff_t> syncs = calls.PlacesOf("syncfs");
    const std::vector<std::ptrdiff_t> fsyncs = calls.PlacesOf("fsync");
    ASSERT_EQ(syncs.size(), 1u);
    ASSERT_EQ(fsyncs.size(), 1u);
    ASSERT_EQ(renames.size(), 6u);
    EXPECT_LT(calls.PlacesOf("opendir").front(), calls.PlacesOf("open").front());
    EXPECT_LT(writes.back(), syncs[0]);
    EXPECT_LT(syncs[0], renames.front()) << "renamed before the flush";
    EXPECT_LT(renames.back(), fsyncs[0]) << "the renames not flushed";

    CNewMeeting full = Full("One");
    full.record.id = ids[0];
    CNewMeeting plain = Plain("Two");
    plain.record.id = ids[1];
    const std::map<fs::path, std::string> bytes = {
        {MeetingFilePath(ids[0]), EncodeMeeting(full.record)},
        {ContentFilePath(ContentKind::agenda, ids[0]), EncodeAgenda(*full.agenda)},
        {ContentFilePath(ContentKind::attendees, ids[0]), EncodeStringList(*full.attendees)},
        {ContentFilePath(ContentKind::todos, ids[0]), EncodeTodos(*full.todos)},
        {ContentFilePath(ContentKind::minutes, ids[0]), EncodeStringList(*full.minutes)},
        {MeetingFilePath(ids[1]), EncodeMeeting(plain.record)}};
    Texts written;
    for (const auto& [path, expected] : bytes) {
        EXPECT_EQ(folder.ReadFile(path.filename().string()), expected) << path;
        written.push_back("written " + path.filename().string());
    }
    EXPECT_EQ(Names().size(), bytes.size());
    EXPECT_EQ(store.GetMeeting(ids[0]), full.record);
    EXPECT_EQ(store.GetMeeting(ids[1]), plain.record);
    Texts heard = listener.heard;
    std::sort(heard.begin(), heard.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(heard, written) << "each file heard of once, nothing removed";
    EXPECT_TRUE(listener.allInPlace) << "a file was heard of before its rename";
    ExpectStoreMatchesFolder("after the batch");
}

// Whichever step fails before the renames (or the first rename), and however, nothing of the
// chunk is stored, on disk or in memory; a rename failing midway keeps the meetings whose files
// were all in place and takes back the half-renamed one. The error names the file that failed,
// the meetings stored before stay, and the listener hears only of the files kept.
TEST_F(Saving, AFailingBatchKeepsOnlyTheMeetingsWhollyInPlace) {
    store.AddMeeting(CMeeting(CDateTime(2026, 3, 10, 9, 0, 0)));
    const struct {
        const char* step;
        int at; // opendir, syncfs and renames once per chunk; else not the first meeting's first
        std::size_t kept;
        const char* file;
    } cases[] = {{"open", 3, 0, ""},      {"write", 3, 0, ""},  {"close", 3, 0, ""},
                 {"opendir", 1, 0, ""},   {"syncfs", 1, 0, ""}, {"rename", 1, 0, ""},
                 {"rename", 8, 1, "todo"}}; // the second meeting's todo file
    SetFileCalls(&calls);
    for (const auto& c : cases) {
        for (const int error : {ENOSPC, EIO}) {
            SCOPED_TRACE(std::string(c.step) + " #" + std::to_string(c.at) + " failing with " +
                         std::strerror(error));
            calls.Fail(c.step, error, c.at);
            const std::size_t before = store.GetCount();
            try {
                Add({Full("One"), Full("Two"), Plain("Three")});
                ADD_FAILURE() << "reported as success";
            } catch (const CFileError& failure) {
                EXPECT_EQ(failure.GetReason(), std::strerror(error));
                EXPECT_NE(failure.GetPath().find(c.file), std::string::npos) << failure.GetPath();
            }
            EXPECT_EQ(store.GetCount(), before + c.kept);
            EXPECT_EQ(Names().size(), 1 + 5 * (store.GetCount() - 1)) << "a meeting's files left";
            ExpectStoreMatchesFolder("");
        }
    }
    Texts heard = listener.heard;
    std::sort(heard.begin(), heard.end());
    Texts names = Names();
    std::for_each(names.begin(), names.end(), [](std::string& name) { name = "written " + name; });
    EXPECT_EQ(heard, names) << "heard of a file that is not there, or twice";
    for (const auto& entry : store) {
        EXPECT_EQ(ReadTodoFile(entry.Key()).size(), entry.value.title == "One" ? 1u : 0u);
    }
}

// A new meeting takes no id of a stored meeting, nor of any file in the folder (a content file
// left without its meeting would otherwise be adopted), nor one given in the batch. Chunk by
// chunk: progress after each, and a failure in a later chunk keeps the earlier ones.
TEST_F(Saving, ABatchTakesFreeIdsAndKeepsTheChunksBeforeAFailure) {
    const std::string stored = store.AddMeeting(CMeeting(CDateTime(1.0))); // second 0
    fs::remove(MeetingFilePath(stored));                                   // only in memory now
    folder.WriteFile("meeting2026031009000110.MTG", "x");        // second 1, name in capitals
    folder.WriteFile("agenda2026031009000210.agd", "left over"); // second 2
    folder.WriteFile("Attendees2026031009000310.atn", "left");   // second 3
    EXPECT_EQ(Add({Full("A"), Plain("B"), Plain("C")}),
              (Texts{"2026031009000410", "2026031009000510", "2026031009000610"}));
    EXPECT_EQ(folder.ReadFile("agenda2026031009000210.agd"), "left over");
    EXPECT_EQ(store.AddMeeting(CMeeting(CDateTime(1.0))), "2026031009000710")
        << "the next add follows on";

    const std::size_t count = CMeetingStore::addChunkSize + 3;
    const std::size_t storedBefore = store.GetCount();
    calls.Fail("syncfs", EIO, 2);
    SetFileCalls(&calls);
    std::vector<std::size_t> reports;
    EXPECT_THROW(store.AddMeetings(
                     count, [](std::size_t i) { return Plain(std::to_string(i)); },
                     [&](std::size_t done, std::size_t total) {
                         EXPECT_EQ(total, count);
                         reports.push_back(done);
                     }),
                 CFileError);
    SetFileCalls(nullptr);
    EXPECT_EQ(reports, std::vector<std::size_t>{CMeetingStore::addChunkSize});
    EXPECT_EQ(store.GetCount(), storedBefore + CMeetingStore::addChunkSize);
}
