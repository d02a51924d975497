#include "store/FileListener.h"
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
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const std::string id = "2004030514070910";

// Writes down what it heard as "written <name>" / "removed <name>"; throws when told to.
class CHeard : public CFileListener {
public:
    void FileWritten(const fs::path& path) override { Note("written ", path); }
    void FileRemoved(const fs::path& path) override { Note("removed ", path); }

    std::vector<std::string> heard;
    bool throws = false;

private:
    void Note(const char* what, const fs::path& path) {
        heard.push_back(what + path.filename().string());
        if (throws) {
            throw std::runtime_error("listener failed");
        }
    }
};

class CFailingRename : public CFileCalls {
public:
    int Rename(const char*, const char*) override {
        errno = ENOSPC;
        return -1;
    }
    int Unlink(const char* path) override {
        if (failUnlink) {
            errno = EACCES;
            return -1;
        }
        return CFileCalls::Unlink(path);
    }
    bool failUnlink = false;
};

class FileListener : public ::testing::Test {
protected:
    void SetUp() override {
        SetWorkingDirectory(folder.Path());
        AddFileListener(&listener);
    }
    void TearDown() override {
        RemoveFileListener(&listener);
        SetFileCalls(nullptr);
        SetWorkingDirectory({});
    }

    CMeeting Meeting() const {
        CMeeting record(CDateTime(2004, 4, 1, 10, 0, 0));
        record.id = id;
        record.title = "Budget";
        return record;
    }

    CTempFolder folder;
    CHeard listener;
    CMeetingStore store;
};

} // namespace

// Every way the program changes a meeting's files reaches the listener once the change is made:
// a save of the meeting and of each content file, and a delete (its content files, then the
// meeting file; a content file that was never there is not reported).
TEST_F(FileListener, HearsEverySaveAndRemoval) {
    store.ModifyMeeting(Meeting());
    WriteAgendaFile(id, {{CDateTime(2004, 4, 1, 10, 0, 0), "Welcome"}});
    WriteAttendeeFile(id, {"Ann"});
    WriteMinutesFile(id, {"Agreed"});
    WriteTodoFile(id, {{"Call", CTodoItem::high, 0}});
    EXPECT_EQ(listener.heard, (std::vector<std::string>{
                                  "written meeting" + id + ".mtg", "written agenda" + id + ".agd",
                                  "written Attendees" + id + ".atn", "written kes" + id + ".kes",
                                  "written todo" + id + ".tdo"}));

    listener.heard.clear();
    fs::remove(ContentFilePath(ContentKind::minutes, id));
    store.DeleteMeeting(id);
    EXPECT_EQ(listener.heard, (std::vector<std::string>{
                                  "removed agenda" + id + ".agd", "removed Attendees" + id + ".atn",
                                  "removed todo" + id + ".tdo", "removed meeting" + id + ".mtg"}))
        << "the minutes file was already gone";
}

// A failed save or removal is no change: the listener must not hear of it, or the index would
// hold texts that are on no disk. And a listener that fails never fails a save that succeeded.
TEST_F(FileListener, HearsNothingOfAFailureAndCannotCauseOne) {
    store.ModifyMeeting(Meeting());
    listener.heard.clear();
    CFailingRename failing;
    SetFileCalls(&failing);
    CMeeting changed = Meeting();
    changed.title = "Cuts";
    EXPECT_THROW(store.ModifyMeeting(changed), CFileError);
    failing.failUnlink = true;
    EXPECT_THROW(store.DeleteMeeting(id), CFileError);
    EXPECT_TRUE(listener.heard.empty()) << listener.heard.front();
    SetFileCalls(nullptr);

    listener.throws = true;
    EXPECT_NO_THROW(store.ModifyMeeting(changed));
    EXPECT_EQ(store.GetMeeting(id).title, "Cuts");
    EXPECT_NO_THROW(RemoveFile(MeetingFilePath(id)));
    EXPECT_FALSE(fs::exists(MeetingFilePath(id)));
    EXPECT_EQ(listener.heard.size(), 2u);

    // Once removed, a listener hears nothing more.
    RemoveFileListener(&listener);
    listener.heard.clear();
    WriteTodoFile(id, {});
    EXPECT_TRUE(listener.heard.empty());
}
