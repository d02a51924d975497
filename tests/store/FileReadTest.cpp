#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

// A file of every size around what one read takes in, and up to the size limit, reads back
// byte for byte; one byte past the limit is refused unread.
TEST(FileRead, EverySizeReadsWholeUpToTheLimit) {
    CTempFolder folder;
    std::mt19937 random(3);
    for (const std::size_t size : {std::size_t{1}, std::size_t{16383}, std::size_t{16384},
                                   std::size_t{16385}, std::size_t{1} << 20}) {
        std::string bytes(size, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        const fs::path path = folder.Path() / "file.kes";
        folder.WriteFile("file.kes", bytes);
        std::string got = "old";
        EXPECT_EQ(ReadWholeFile(path, got), ReadStatus::read) << size;
        EXPECT_TRUE(got == bytes) << "a file of " << size << " bytes reads whole";
    }
    const fs::path edge = folder.Path() / "edge.mtg";
    folder.WriteFile("edge.mtg", "");
    std::string got = "old";
    EXPECT_EQ(ReadWholeFile(edge, got), ReadStatus::read);
    EXPECT_EQ(got, "") << "an empty file is an empty file";
    fs::resize_file(edge, maxDataFileSize);
    EXPECT_EQ(ReadWholeFile(edge, got), ReadStatus::read);
    EXPECT_EQ(got.size(), maxDataFileSize);
    fs::resize_file(edge, maxDataFileSize + 1);
    EXPECT_EQ(ReadWholeFile(edge, got), ReadStatus::tooLarge);
    EXPECT_EQ(got, "");
}

// What may take a file's name after the folder was listed: a pipe that a writer has filled
// with a meeting's bytes, a device reached through a link, a folder. None is read as a file,
// none blocks, whether opened by path or by name in the open folder.
TEST(FileRead, PipesDevicesAndFoldersAreNoFiles) {
    CTempFolder folder;
    const fs::path pipe = folder.Path() / "meeting2004030514070910.mtg";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    CMeeting record(CDateTime(2004, 3, 5, 14, 7, 9));
    record.id = "2004030514070910";
    const std::string bytes = EncodeMeeting(record);
    ASSERT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    fs::create_symlink("/dev/null", folder.Path() / "null.mtg");
    fs::create_symlink("/dev/zero", folder.Path() / "zero.mtg");
    fs::create_directory(folder.Path() / "folder.mtg");
    const int open = ::open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY);
    for (const char* name :
         {"meeting2004030514070910.mtg", "null.mtg", "zero.mtg", "folder.mtg", "gone.mtg"}) {
        std::string got = "old";
        EXPECT_EQ(ReadWholeFile(folder.Path() / name, got), ReadStatus::unreadable) << name;
        EXPECT_EQ(got, "") << name;
        got = "old";
        EXPECT_EQ(ReadWholeFileAt(open, name, got), ReadStatus::unreadable) << name;
        EXPECT_EQ(got, "") << name;
    }
    ::close(open);
    ::close(writer);
    ::close(reader);
}

// A load tells how many files it found before it reads the first, so that a window can say
// so while a large folder is still being read.
TEST(FileRead, LoadTellsTheCountBeforeTheFirstRead) {
    CTempFolder folder;
    SetWorkingDirectory(folder.Path());
    for (const char* id : {"2004030514070910", "2004030514071010", "2004030514071110"}) {
        CMeeting record(CDateTime(2004, 3, 5, 14, 7, 9));
        record.id = id;
        folder.WriteFile("meeting" + record.id + ".mtg", EncodeMeeting(record));
    }
    CMeetingStore store;
    std::vector<std::pair<std::size_t, std::size_t>> heard;
    store.LoadAll([&](std::size_t loaded, std::size_t total) {
        heard.emplace_back(store.GetCount(), total);
        EXPECT_EQ(loaded, heard.size() == 1 ? 0u : total);
    });
    SetWorkingDirectory({});
    EXPECT_EQ(heard, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 3}, {3, 3}}));
}
