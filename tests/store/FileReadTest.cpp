#include "store/ContentFiles.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/store/AllocationProbe.h"
#include "tests/store/TestBytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view id = "2004030514070910";

// A file of `size` bytes that starts with `head` and is zeros after it, without writing them.
void MakeSparseFile(const fs::path& path, std::string_view head, std::size_t size) {
    {
        std::ofstream out(path, std::ios::binary);
        out.write(head.data(), static_cast<std::streamsize>(head.size()));
    }
    fs::resize_file(path, size);
}

class FolderDescriptor {
public:
    explicit FolderDescriptor(const fs::path& folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY)) {}
    ~FolderDescriptor() { ::close(m_fd); }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

// What the opened descriptor is decides, not what the listing said: a name swapped for a
// device after the listing must not be read (reading /dev/zero never ends).
TEST(FileRead, OnlyRegularFilesAndOnlyTheirReportedSize) {
    CTempFolder folder;
    folder.WriteFile("plain.mtg", "meeting bytes");
    fs::create_symlink("/dev/zero", folder / "zero.mtg");
    ASSERT_EQ(::mkfifo((folder / "pipe.mtg").c_str(), 0644), 0);
    const FolderDescriptor dir(folder.Path());

    std::string bytes = "left over";
    EXPECT_EQ(ReadWholeFileAt(dir.Get(), "plain.mtg", bytes), ReadStatus::read);
    EXPECT_EQ(bytes, "meeting bytes");
    for (const char* name : {"zero.mtg", "pipe.mtg", "missing.mtg", "."}) {
        bytes = "left over";
        EXPECT_EQ(ReadWholeFileAt(dir.Get(), name, bytes), ReadStatus::unreadable) << name;
        EXPECT_TRUE(bytes.empty()) << name;
        EXPECT_EQ(ReadWholeFile(folder / name, bytes), ReadStatus::unreadable) << name;
    }
    EXPECT_EQ(ReadWholeFile(folder / "plain.mtg", bytes), ReadStatus::read);
    EXPECT_EQ(bytes, "meeting bytes");
}

// A content file of millions of empty entries would build gigabytes of strings: past the
// limit a file is damaged and nothing of it is read or allocated.
TEST(FileRead, FilesPastTheLimitAreDamagedNotRead) {
    CTempFolder folder;
    SetWorkingDirectory(folder.Path());
    const std::string manyEmptyEntries = Bytes({0xFF, 0xFF, 0xFF, 0x7F});
    MakeSparseFile(ContentFilePath(ContentKind::minutes, id), manyEmptyEntries,
                   maxDataFileSize + 1);
    MakeSparseFile(ContentFilePath(ContentKind::attendees, id), manyEmptyEntries + Bytes({0}), 5);
    {
        CLargestAllocation probe;
        EXPECT_TRUE(ReadMinutesFile(id).empty());
        EXPECT_LE(probe.Get(), 64u * 1024) << "nothing may be sized by the oversized file";
    }
    EXPECT_EQ(ReadAttendeeFile(id), (std::vector<std::string>{""})) << "a small file still reads";

    // The same limit makes an oversized meeting file damaged, reported like any other.
    CMeeting record(CDateTime(1.0));
    record.id = std::string(id);
    MakeSparseFile(MeetingFilePath(id), EncodeMeeting(record), maxDataFileSize + 1);
    CMeetingStore store;
    store.LoadAll();
    EXPECT_EQ(store.GetCount(), 0u);
    EXPECT_EQ(store.GetSkippedFiles(), std::vector<fs::path>{MeetingFilePath(id)});
    SetWorkingDirectory({});
}
