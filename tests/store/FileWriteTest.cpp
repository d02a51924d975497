#include "store/ContentFiles.h"
#include "store/FileCalls.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>

namespace fs = std::filesystem;

namespace {

const std::string id = "2004030514070910";

CMeeting Meeting(std::string title) {
    CMeeting record(CDateTime(2004, 4, 1, 10, 0, 0));
    record.id = id;
    record.title = std::move(title);
    return record;
}

// Passes every call on to the system, writes down what was asked ("fsync <path>"), and makes
// the call named in `failing` fail with `error` instead.
class CRecordingCalls : public CFileCalls {
public:
    int Open(const char* path, int flags, mode_t mode) override {
        if (beforeOpen) {
            beforeOpen(path);
        }
        const int fd = Fails("open") ? -1 : CFileCalls::Open(path, flags, mode);
        names[fd] = path;
        flagsOf[path] = flags;
        return Note("open", path, fd);
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        return Note("write", names[fd], Fails("write") ? -1 : CFileCalls::Write(fd, data, size));
    }
    int Fsync(int fd) override {
        return Note("fsync", names[fd], Fails("fsync") ? -1 : CFileCalls::Fsync(fd));
    }
    int Close(int fd) override {
        const int result = CFileCalls::Close(fd); // a failed close lets go of the file too
        return Note("close", names[fd], Fails("close") ? -1 : result);
    }
    int Rename(const char* from, const char* to) override {
        return Note("rename", from + std::string(" ") + to,
                    Fails("rename") ? -1 : CFileCalls::Rename(from, to));
    }

    // The position of a call in the record; past the end when it was never made.
    std::ptrdiff_t IndexOf(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    }

    std::vector<std::string> calls;
    std::map<std::string, int> flagsOf;
    std::string failing;
    int error = 0;
    std::function<void(const char*)> beforeOpen;

private:
    template <typename Result> Result Note(const char* call, const std::string& on, Result result) {
        const int saved = errno;
        calls.push_back(call + (" " + on));
        errno = saved;
        return result;
    }
    bool Fails(const std::string& name) const {
        errno = name == failing ? error : 0;
        return name == failing;
    }

    std::map<int, std::string> names;
};

class FileWrite : public ::testing::Test {
protected:
    void SetUp() override {
        SetWorkingDirectory(folder.Path());
        SetFileCalls(&recorder);
    }
    void TearDown() override {
        SetFileCalls(nullptr);
        SetWorkingDirectory({});
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string MeetingBytes() const {
        return folder.ReadFile(MeetingFilePath(id).filename().string());
    }

    CTempFolder folder;
    CRecordingCalls recorder;
    CMeetingStore store;
};

} // namespace

// The bytes must be on disk before the new name points at them, and the rename itself must be
// made durable; otherwise a power cut can leave an empty meeting file in place of the old one.
TEST_F(FileWrite, TemporaryFileReachesTheDiskBeforeTheRename) {
    store.ModifyMeeting(Meeting("Budget"));
    const fs::path target = MeetingFilePath(id);
    const std::string folderName = target.parent_path().string();
    ASSERT_FALSE(recorder.calls.empty());
    const std::string temporary = recorder.calls.front().substr(std::strlen("open "));
    EXPECT_EQ(fs::path(temporary).parent_path(), target.parent_path()) << "beside the file";
    EXPECT_TRUE(IsTemporaryFileName(fs::path(temporary).filename().string())) << temporary;
    const int flags = recorder.flagsOf[temporary];
    EXPECT_TRUE((flags & O_CREAT) && (flags & O_EXCL) && (flags & O_NOFOLLOW))
        << "the temporary file must be new, never an existing file or link";

    const auto flushed = recorder.IndexOf("fsync " + temporary);
    const auto renamed = recorder.IndexOf("rename " + temporary + " " + target.string());
    EXPECT_LT(recorder.IndexOf("write " + temporary), flushed);
    EXPECT_LT(flushed, renamed) << "not flushed before the rename";
    EXPECT_LT(renamed, recorder.IndexOf("fsync " + folderName)) << "the rename not flushed";
    EXPECT_LT(recorder.IndexOf("fsync " + folderName), std::ssize(recorder.calls));
    EXPECT_EQ(Names(), std::vector<std::string>{target.filename().string()});
}

// Whichever step of a save fails, and however (a full disk, a failing one), the old file and
// the record in memory stay as they were, nothing is left behind and the error names the file
// the user saved.
TEST_F(FileWrite, EveryFailingStepKeepsTheOldFile) {
    const CMeeting old = Meeting("Old");
    store.ModifyMeeting(old);
    const std::string oldBytes = MeetingBytes();
    for (const char* step : {"open", "write", "fsync", "close", "rename"}) {
        for (const int error : {ENOSPC, EIO}) {
            SCOPED_TRACE(std::string(step) + " fails with " + std::strerror(error));
            recorder.failing = step;
            recorder.error = error;
            try {
                store.ModifyMeeting(Meeting("New"));
                ADD_FAILURE() << "the save reported success";
            } catch (const CFileError& failure) {
                EXPECT_EQ(failure.GetPath(), MeetingFilePath(id).string());
                EXPECT_EQ(failure.GetReason(), std::strerror(error));
            }
            EXPECT_EQ(store.GetMeeting(id), old) << "memory changed though the file did not";
            EXPECT_EQ(MeetingBytes(), oldBytes);
            EXPECT_EQ(Names().size(), 1u) << "a temporary file was left behind";
        }
    }
}

// A stale link that happens to have the temporary name is never written through: the save
// takes another name, and what the link points at is untouched.
TEST_F(FileWrite, LinksInTheTemporaryFilesPlaceAreLeftAlone) {
    store.ModifyMeeting(Meeting("Old"));
    const std::string otherId = "2004030514071010";
    WriteMinutesFile(otherId, {"Other meeting's minutes"});
    const fs::path minutes = ContentFilePath(ContentKind::minutes, otherId);
    const std::string otherBytes = folder.ReadFile(minutes.filename().string());
    CTempFolder outside;
    // The first two names the save tries are taken: by a link out of the folder, and by a
    // hard link to another meeting's file.
    int tries = 0;
    recorder.beforeOpen = [&](const char* path) {
        if (!IsTemporaryFileName(fs::path(path).filename().string())) {
            return;
        }
        if (++tries == 1) {
            fs::create_symlink(outside / "target", path);
        } else if (tries == 2) {
            fs::create_hard_link(minutes, path);
        }
    };
    store.ModifyMeeting(Meeting("Newer"));
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(DecodeMeeting(MeetingBytes())->title, "Newer");
    EXPECT_FALSE(fs::exists(outside / "target")) << "the save went through a link";
    EXPECT_EQ(folder.ReadFile(minutes.filename().string()), otherBytes)
        << "the save wrote through a hard link into another meeting's file";

    // Should every name be taken, the save gives up and says which file it could not save.
    recorder.beforeOpen = [](const char* path) { fs::create_directory(path); };
    try {
        store.ModifyMeeting(Meeting("Never"));
        ADD_FAILURE() << "the save reported success";
    } catch (const CFileError& failure) {
        EXPECT_EQ(failure.GetPath(), MeetingFilePath(id).string());
    }
}

// What saves cut short by a kill leave behind is cleared, and nothing else.
TEST_F(FileWrite, StaleTemporaryFilesAreRemovedAndNothingElse) {
    const std::string meeting = MeetingFilePath(id).filename().string();
    const std::vector<std::string> stale = {
        TemporaryPathFor(MeetingFilePath(id)).filename().string(),
        TemporaryPathFor(ContentFilePath(ContentKind::todos, id)).filename().string(),
        meeting + ".tmp", // the fixed name earlier versions used
    };
    const std::vector<std::string> kept = {
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
