#include "store/ContentFiles.h"
#include "store/FileBatch.h"
#include "store/FileCalls.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/FileListener.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>

namespace fs = std::filesystem;

namespace {

const CDateTime now(2026, 3, 10, 9, 0, 0);

CNewMeeting Full(std::string title) {
    CNewMeeting meeting{CMeeting(CDateTime(2026, 4, 1, 10, 0, 0)), {}, {}, {}, {}};
    meeting.record.title = std::move(title);
    meeting.record.venue = "Hall \xe9";
    meeting.agenda = std::vector<CAgendaItem>{{meeting.record.date, "Opening"}};
    meeting.attendees = std::vector<std::string>{"Ann", "Bo"};
    meeting.todos = std::vector<CTodoItem>{{"Call", CTodoItem::high, 1}};
    meeting.minutes = std::vector<std::string>{"Agreed.\r\nDone."};
    return meeting;
}

CNewMeeting Plain(std::string title) {
    CNewMeeting meeting{CMeeting(CDateTime(2026, 4, 2, 10, 0, 0)), {}, {}, {}, {}};
    meeting.record.title = std::move(title);
    return meeting;
}

// Passes every call on to the system and writes down its kind ("syncfs", "rename" ...);
// the `failAt`-th call of the kind `failing` fails with `error` instead.
class CCountingCalls : public CFileCalls {
    template <typename Call> auto Pass(const std::string& kind, const Call& call) {
        calls.push_back(kind);
        if (kind == failing && std::count(calls.begin(), calls.end(), kind) == failAt) {
            errno = error;
            return decltype(call())(-1);
        }
        return call();
    }

public:
    int Open(const char* path, int flags, mode_t mode) override {
        const bool folder = (flags & O_DIRECTORY) != 0;
        return Pass(folder ? "open folder" : "open",
                    [&] { return CFileCalls::Open(path, flags, mode); });
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        return Pass("write", [&] { return CFileCalls::Write(fd, data, size); });
    }
    int Fsync(int fd) override {
        return Pass("fsync", [&] { return CFileCalls::Fsync(fd); });
    }
    int SyncFilesystem(int fd) override {
        return Pass("syncfs", [&] { return CFileCalls::SyncFilesystem(fd); });
    }
    int Close(int fd) override {
        const int result = CFileCalls::Close(fd); // a failed close lets go of the file too
        return Pass("close", [&] { return result; });
    }
    int Rename(const char* from, const char* to) override {
        return Pass("rename", [&] { return CFileCalls::Rename(from, to); });
    }

    std::vector<std::string> calls;
    std::string failing;
    int failAt = 1;
    int error = EIO;
};

// Writes down every file it hears of, and whether the file was in place by then.
class CWrittenFiles : public CFileListener {
public:
    void FileWritten(const fs::path& path) override {
        heard.push_back(path.filename().string());
        allInPlace = allInPlace && fs::exists(path);
    }
    void FileRemoved(const fs::path& path) override { heard.push_back("removed " + path.string()); }

    std::vector<std::string> heard;
    bool allInPlace = true;
};

class AddMeetings : public ::testing::Test {
protected:
    void SetUp() override {
        SetWorkingDirectory(folder.Path());
        SetClock([] { return now; });
        AddFileListener(&listener);
    }
    void TearDown() override {
        RemoveFileListener(&listener);
        SetFileCalls(nullptr);
        SetClock({});
        SetWorkingDirectory({});
    }

    std::vector<std::string> Add(std::vector<CNewMeeting> meetings,
                                 const CMeetingStore::AddProgress& progress = {}) {
        return store.AddMeetings(
            meetings.size(), [&](std::size_t i) { return meetings[i]; }, progress);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
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

    CTempFolder folder;
    CMeetingStore store;
    CWrittenFiles listener;
};

} // namespace

TEST_F(AddMeetings, WritesWhatTheSingleWritersWouldAndTellsTheListenerOfEachFile) {
    std::vector<std::pair<std::size_t, std::size_t>> reports;
    const std::vector<std::string> ids =
        Add({Full("One"), Plain("Two")},
            [&](std::size_t done, std::size_t total) { reports.emplace_back(done, total); });
    ASSERT_EQ(ids.size(), 2u);
    std::vector<std::string> heard = listener.heard;
    EXPECT_EQ(reports, (std::vector<std::pair<std::size_t, std::size_t>>{{2, 2}}));

    // The same meetings through the single writers, into a folder of their own.
    CTempFolder single;
    const fs::path batchFolder = folder.Path();
    SetWorkingDirectory(single.Path());
    CNewMeeting full = Full("One");
    full.record.id = ids[0];
    WriteMeetingFile(full.record);
    WriteAgendaFile(ids[0], *full.agenda);
    WriteAttendeeFile(ids[0], *full.attendees);
    WriteTodoFile(ids[0], *full.todos);
    WriteMinutesFile(ids[0], *full.minutes);
    CNewMeeting plain = Plain("Two");
    plain.record.id = ids[1];
    WriteMeetingFile(plain.record);
    SetWorkingDirectory(batchFolder);

    const std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 6u);
    for (const std::string& name : names) {
        EXPECT_EQ(folder.ReadFile(name), single.ReadFile(name)) << name;
    }
    EXPECT_EQ(store.GetMeeting(ids[0]), full.record);
    EXPECT_EQ(store.GetMeeting(ids[1]), plain.record);
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(heard, names) << "each file heard of once, nothing removed";
    EXPECT_TRUE(listener.allInPlace) << "a file was heard of before its rename";
    ExpectStoreMatchesFolder("after the batch");
}

// Every file is whole on disk before any name points at it: one flush of the file system
// before the first rename, one of the folder after the last.
TEST_F(AddMeetings, FlushesBeforeTheRenamesAndTheFolderAfter) {
    CCountingCalls calls;
    SetFileCalls(&calls);
    Add({Full("One"), Full("Two"), Plain("Three")});
    const auto first = [&](const char* kind) {
        return std::find(calls.calls.begin(), calls.calls.end(), kind) - calls.calls.begin();
    };
    const auto last = [&](const char* kind) {
        return calls.calls.rend() - std::find(calls.calls.rbegin(), calls.calls.rend(), kind) - 1;
    };
    EXPECT_EQ(std::count(calls.calls.begin(), calls.calls.end(), "syncfs"), 1);
    // syncfs reports only the write-back errors since its descriptor was opened.
    EXPECT_LT(first("open folder"), first("open")) << "a write-back error could go unheard";
    EXPECT_EQ(std::count(calls.calls.begin(), calls.calls.end(), "rename"), 11);
    EXPECT_LT(last("write"), first("syncfs"));
    EXPECT_LT(first("syncfs"), first("rename")) << "renamed before the flush";
    EXPECT_EQ(std::count(calls.calls.begin(), calls.calls.end(), "fsync"), 1);
    EXPECT_LT(last("rename"), first("fsync")) << "the renames not flushed";
}

// Whichever step fails before the renames (or the first rename), and however, nothing of the
// chunk is stored, on disk or in memory, the error names a file, and the meetings stored
// before stay.
TEST_F(AddMeetings, AStepFailingBeforeTheRenamesLeavesNothingOfTheChunk) {
    const std::string existing = store.AddMeeting(CMeeting(now));
    const std::vector<std::string> before = Names();
    for (const char* step : {"open", "write", "close", "open folder", "syncfs", "rename"}) {
        for (const int error : {ENOSPC, EIO}) {
            const std::string context = std::string(step) + " failing with " + std::strerror(error);
            CCountingCalls calls;
            calls.failing = step;
            const bool oncePerChunk = calls.failing == "open folder" || calls.failing == "syncfs" ||
                                      calls.failing == "rename";
            calls.failAt = oncePerChunk ? 1 : 3; // else a file of the first meeting, not its first
            calls.error = error;
            SetFileCalls(&calls);
            try {
                Add({Full("One"), Plain("Two")});
                ADD_FAILURE() << context << ": reported as success";
            } catch (const CFileError& failure) {
                EXPECT_EQ(failure.GetReason(), std::strerror(error)) << context;
                EXPECT_FALSE(failure.GetPath().empty()) << context;
            }
            SetFileCalls(nullptr);
            EXPECT_EQ(Names(), before) << context;
            EXPECT_EQ(store.GetCount(), 1u) << context;
            ExpectStoreMatchesFolder(context);
        }
    }
    EXPECT_TRUE(listener.heard.size() == 1 &&
                listener.heard[0] == MeetingFilePath(existing).filename())
        << "heard of a file that is not there";
}

// A rename failing midway keeps the meetings whose files were all in place, takes back the
// half-renamed one and names the file that could not be put in place.
TEST_F(AddMeetings, ARenameFailingMidwayKeepsTheWholeMeetingsBeforeIt) {
    CCountingCalls calls;
    calls.failing = "rename";
    calls.failAt = 8; // the second meeting's todo file: its agenda and attendees are in place
    calls.error = ENOSPC;
    SetFileCalls(&calls);
    try {
        Add({Full("One"), Full("Two"), Plain("Three")});
        ADD_FAILURE() << "reported as success";
    } catch (const CFileError& failure) {
        EXPECT_EQ(failure.GetReason(), std::strerror(ENOSPC));
        EXPECT_NE(failure.GetPath().find("todo"), std::string::npos) << failure.GetPath();
    }
    SetFileCalls(nullptr);
    ASSERT_EQ(store.GetCount(), 1u);
    const std::string kept = store.begin()->Key();
    EXPECT_EQ(store.begin()->value.title, "One");
    EXPECT_EQ(Names().size(), 5u) << "only the first meeting's five files";
    EXPECT_EQ(ReadTodoFile(kept), *Full("").todos);
    EXPECT_EQ(listener.heard.size(), 5u) << "the listener hears only of the files kept";
    ExpectStoreMatchesFolder("after the failed rename");
}

// A new meeting takes no id of a stored meeting, nor of any file in the folder (a content
// file left without its meeting would otherwise be adopted), nor one given in the batch.
TEST_F(AddMeetings, IdsAreUniqueAgainstTheStoreAndEveryFileOfTheFolder) {
    const std::string stored = store.AddMeeting(CMeeting(now));  // second 0
    fs::remove(MeetingFilePath(stored));                         // only in memory now
    folder.WriteFile("meeting2026031009000110.MTG", "x");        // second 1, name in capitals
    folder.WriteFile("agenda2026031009000210.agd", "left over"); // second 2
    folder.WriteFile("Attendees2026031009000310.atn", "left");   // second 3

    const std::vector<std::string> ids = Add({Full("A"), Plain("B"), Plain("C")});
    EXPECT_EQ(ids, (std::vector<std::string>{"2026031009000410", "2026031009000510",
                                             "2026031009000610"}));
    EXPECT_EQ(folder.ReadFile("agenda2026031009000210.agd"), "left over");
    EXPECT_EQ(store.AddMeeting(CMeeting(now)), "2026031009000710") << "the next add follows on";
}

// Chunk by chunk: progress after each, and a failure in a later chunk keeps the earlier ones.
TEST_F(AddMeetings, WorksInChunksAndKeepsTheChunksBeforeAFailure) {
    const std::size_t count = CMeetingStore::addChunkSize + 3;
    CCountingCalls calls;
    calls.failing = "syncfs";
    calls.failAt = 2;
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
    EXPECT_EQ(store.GetCount(), CMeetingStore::addChunkSize);
    ExpectStoreMatchesFolder("after the second chunk failed");
}
