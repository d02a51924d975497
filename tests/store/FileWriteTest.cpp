#include "store/ContentFiles.h"
#include "store/FileCalls.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string id = "2004030514070910";

CMeeting Meeting(std::string title) {
    CMeeting record(CDateTime(2004, 4, 1, 10, 0, 0));
    record.id = id;
    record.title = std::move(title);
    return record;
}

// Passes every call on to the system, writes down what was asked, and makes the call named
// in `failing` fail with `error` instead.
class CRecordingCalls : public CFileCalls {
public:
    int Open(const char* path, int flags, mode_t mode) override {
        if (beforeOpen) {
            beforeOpen(path);
        }
        const int fd = Fail("open") ? -1 : CFileCalls::Open(path, flags, mode);
        if (fd >= 0) {
            opened[fd] = path;
            openFlags[path] = flags;
        }
        Note("open " + std::string(path));
        return fd;
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        Note("write " + opened[fd]);
        return Fail("write") ? -1 : CFileCalls::Write(fd, data, size);
    }
    int Fsync(int fd) override {
        Note("fsync " + opened[fd]);
        return Fail("fsync") ? -1 : CFileCalls::Fsync(fd);
    }
    int Close(int fd) override {
        Note("close " + opened[fd]);
        const int result = CFileCalls::Close(fd); // a failed close still lets go of it
        return Fail("close") ? -1 : result;
    }
    int Rename(const char* from, const char* to) override {
        Note("rename " + std::string(from) + " " + to);
        return Fail("rename") ? -1 : CFileCalls::Rename(from, to);
    }
    int Unlink(const char* path) override {
        Note("unlink " + std::string(path));
        return CFileCalls::Unlink(path);
    }

    std::vector<std::string> calls;
    std::map<int, std::string> opened;
    std::map<std::string, int> openFlags;
    std::string failing;
    int error = 0;
    std::function<void(const char*)> beforeOpen;

private:
    void Note(std::string call) { calls.push_back(std::move(call)); }
    bool Fail(const std::string& name) const {
        if (name != failing) {
            return false;
        }
        errno = error;
        return true;
    }
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

    // Index of the first recorded call that is `call`, or -1.
    int IndexOf(const std::string& call) const {
        for (std::size_t i = 0; i < recorder.calls.size(); ++i) {
            if (recorder.calls[i] == call) {
                return static_cast<int>(i);
            }
        }
        return -1;
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
    ASSERT_FALSE(recorder.calls.empty());
    const std::string temporary = recorder.calls.front().substr(std::strlen("open "));
    EXPECT_EQ(fs::path(temporary).parent_path(), target.parent_path()) << "beside the file";
    EXPECT_TRUE(IsTemporaryFileName(fs::path(temporary).filename().string())) << temporary;
    const int flags = recorder.openFlags[temporary];
    EXPECT_TRUE((flags & O_EXCL) && (flags & O_NOFOLLOW) && (flags & O_CREAT))
        << "the temporary file must be new, never an existing file or link";

    const int written = IndexOf("write " + temporary);
    const int flushed = IndexOf("fsync " + temporary);
    const int renamed = IndexOf("rename " + temporary + " " + target.string());
    const int folderFlushed = IndexOf("fsync " + target.parent_path().string());
    ASSERT_GE(written, 0);
    EXPECT_LT(written, flushed);
    EXPECT_GE(flushed, 0) << "the temporary file was never flushed";
    EXPECT_LT(flushed, renamed) << "flushed after the rename, or never renamed";
    EXPECT_LT(renamed, folderFlushed) << "the folder must be flushed after the rename";
    EXPECT_EQ(Names(), std::vector<std::string>{target.filename().string()});
}

// Whichever step of a save fails, and however (a full disk, a failing one), the old file and
// the record in memory stay as they were, nothing is left behind and the error names the file
// the user saved.
TEST_F(FileWrite, EveryFailingStepKeepsTheOldFile) {
    const CMeeting old = Meeting("Old");
    store.ModifyMeeting(old);
    WriteAgendaFile(id, {{CDateTime(2004, 3, 5, 9, 30, 0), "Welcome"}});
    const std::string oldMeeting = folder.ReadFile(MeetingFilePath(id).filename().string());
    const fs::path agenda = ContentFilePath(ContentKind::agenda, id);
    const std::string oldAgenda = folder.ReadFile(agenda.filename().string());
    const std::vector<std::string> before = Names();

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
            EXPECT_EQ(folder.ReadFile(MeetingFilePath(id).filename().string()), oldMeeting);

            try {
                WriteAgendaFile(id, {});
                ADD_FAILURE() << "the agenda save reported success";
            } catch (const CFileError& failure) {
                EXPECT_EQ(failure.GetPath(), agenda.string());
            }
            EXPECT_EQ(folder.ReadFile(agenda.filename().string()), oldAgenda);
            EXPECT_EQ(Names(), before) << "a temporary file was left behind";
        }
    }
}

// A stale file, link or folder that happens to have the temporary name is never written
// through or replaced: the save takes another name, and the other file is untouched.
TEST_F(FileWrite, ThingsInTheTemporaryFilesPlaceAreLeftAlone) {
    store.ModifyMeeting(Meeting("Old"));
    const std::string otherId = "2004030514071010";
    WriteMinutesFile(otherId, {"Other meeting's minutes"});
    const fs::path minutes = ContentFilePath(ContentKind::minutes, otherId);
    const std::string otherBytes = folder.ReadFile(minutes.filename().string());
    CTempFolder outside;

    int planted = 0;
    const std::vector<std::function<void(const fs::path&)>> plants = {
        [&](const fs::path& at) { fs::create_symlink(outside / "target", at); },
        [&](const fs::path& at) { fs::create_hard_link(minutes, at); },
        [&](const fs::path& at) { fs::create_directory(at); },
    };
    recorder.beforeOpen = [&](const char* path) {
        if (IsTemporaryFileName(fs::path(path).filename().string()) &&
            planted < static_cast<int>(plants.size())) {
            plants[planted++](path);
        }
    };
    for (std::size_t i = 0; i < plants.size(); ++i) {
        store.ModifyMeeting(Meeting("New " + std::to_string(i)));
        EXPECT_EQ(store.GetMeeting(id).title, "New " + std::to_string(i));
    }
    EXPECT_EQ(planted, 3);
    EXPECT_EQ(DecodeMeeting(folder.ReadFile(MeetingFilePath(id).filename().string()))->title,
              "New 2");
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
    EXPECT_EQ(store.GetMeeting(id).title, "New 2");
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
    const fs::path directory = TemporaryPathFor(MeetingFilePath(id));
    fs::create_directory(directory);

    EXPECT_EQ(RemoveStaleTemporaryFiles(folder.Path()), stale.size());
    for (const std::string& name : stale) {
        EXPECT_FALSE(folder.Exists(name)) << name;
    }
    for (const std::string& name : kept) {
        EXPECT_EQ(folder.ReadFile(name), "keep") << name;
    }
    EXPECT_TRUE(fs::is_symlink(link)) << "a link is not ours to remove";
    EXPECT_TRUE(fs::is_directory(directory));
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder / "missing"), 0u);
}
