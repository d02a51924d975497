#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// A file of every size around what one read takes in, and up to the size limit, reads whole;
// one byte past the limit is refused unread.
TEST(FileRead, EverySizeReadsWholeUpToTheLimit) {
    CTempFolder folder;
    folder.WriteFile("file.kes", "");
    for (const std::size_t size : {std::size_t{1}, std::size_t{16383}, std::size_t{16384},
                                   std::size_t{16385}, maxDataFileSize, maxDataFileSize + 1}) {
        fs::resize_file(folder.Path() / "file.kes", size);
        std::string got = "old";
        const bool fits = size <= maxDataFileSize;
        EXPECT_EQ(ReadWholeFile(folder.Path() / "file.kes", got),
                  fits ? ReadStatus::read : ReadStatus::tooLarge);
        EXPECT_EQ(got.size(), fits ? size : 0) << size;
    }
}

// What may take a meeting file's name after the folder was listed: a pipe that a writer has
// filled with a meeting's bytes, a device reached through a link, a folder. None is read as a
// file and none blocks; a load tells its count before it reads the first file.
TEST(FileRead, PipesDevicesAndFoldersAreNoFiles) {
    CTempFolder folder;
    CMeeting record(CDateTime(2004, 3, 5, 14, 7, 9));
    record.id = "2004030514070910";
    folder.WriteFile("meeting2004030514070910.mtg", EncodeMeeting(record));
    const fs::path pipe = folder.Path() / "pipe.mtg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    const std::string bytes = EncodeMeeting(record);
    ASSERT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    fs::create_symlink("/dev/null", folder.Path() / "null.mtg");
    fs::create_symlink("/dev/zero", folder.Path() / "zero.mtg");
    fs::create_directory(folder.Path() / "folder.mtg");
    for (const char* name : {"pipe.mtg", "null.mtg", "zero.mtg", "folder.mtg", "gone.mtg"}) {
        std::string got = "old";
        EXPECT_EQ(ReadWholeFile(folder.Path() / name, got), ReadStatus::unreadable) << name;
        EXPECT_EQ(got, "") << name;
    }
    SetWorkingDirectory(folder.Path());
    CMeetingStore store;
    std::vector<std::size_t> heard;
    store.LoadAll(
        [&](std::size_t, std::size_t total) { heard.push_back(total - store.GetCount()); });
    SetWorkingDirectory({});
    EXPECT_EQ(heard, (std::vector<std::size_t>{1, 0})) << "told before the first read, and after";
    EXPECT_TRUE(store.GetSkippedFiles().empty());
    ::close(writer);
    ::close(reader);
}
