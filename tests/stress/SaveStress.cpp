// Two processes save one meeting in a loop and are killed with SIGKILL at random moments, the
// way two copies of the program on one folder might be ended by a crash or a power cut.
// Between kills this process reads the file as fast as it can; after each kill it checks that
// the meeting file is whole and is the last version one of the writers saved, and that no more
// temporary files are left than the kills can explain.
//
//   save_stress [--seconds N] [--seed N]      exit status 0 when nothing was torn or lost

#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <random>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string id = "2004030514070910";
constexpr int writerCount = 2;

// Counters the writers share with this process.
struct SShared {
    std::atomic<long> saves{0};
    std::atomic<long> failures{0};
    // The number of each writer's last save that returned; the next one is in progress.
    std::atomic<long> lastSaved[writerCount];
    std::atomic<long> nextSave[writerCount];
};

// Version `save` of writer `writer`: the text lengths vary so that a mix of two versions or a
// cut one never decodes as a version.
CMeeting Version(int writer, long save) {
    CMeeting record(CDateTime(2004, 4, 1, 10, 0, 0));
    record.id = id;
    record.title = "writer " + std::to_string(writer) + " save " + std::to_string(save);
    const std::size_t length = static_cast<std::size_t>((save * 7919 + writer * 104729) % 3000);
    record.notes.assign(length, static_cast<char>('a' + (save + writer) % 26));
    record.venue.assign(length / 3, static_cast<char>('A' + save % 26));
    record.icon = static_cast<int>(save % 72);
    return record;
}

// The writer and save number of a file's bytes when they are exactly one written version.
std::optional<std::pair<int, long>> IdentifyVersion(const std::string& bytes) {
    const std::optional<CMeeting> record = DecodeMeeting(bytes);
    int writer = -1;
    long save = -1;
    if (!record || std::sscanf(record->title.c_str(), "writer %d save %ld", &writer, &save) != 2 ||
        writer < 0 || writer >= writerCount || save < 0 ||
        EncodeMeeting(Version(writer, save)) != bytes) {
        return std::nullopt;
    }
    return std::pair{writer, save};
}

[[noreturn]] void RunWriter(int writer, SShared& shared) {
    CMeetingStore store;
    for (;;) {
        const long save = shared.nextSave[writer].load();
        try {
            store.ModifyMeeting(Version(writer, save));
            shared.lastSaved[writer] = save;
            ++shared.saves;
        } catch (const CFileError&) {
            ++shared.failures;
        }
        shared.nextSave[writer] = save + 1;
    }
}

pid_t StartWriter(int writer, SShared& shared) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        RunWriter(writer, shared);
    }
    return pid;
}

std::size_t CountTemporaryFiles(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += IsTemporaryFileName(entry.path().filename().string()) ? 1 : 0;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 10;
    unsigned seed = std::random_device()();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::atof(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        }
    }
    std::mt19937 random(seed);

    CTempFolder folder;
    SetWorkingDirectory(folder.Path());
    const std::filesystem::path meetingFile = MeetingFilePath(id);
    void* memory =
        ::mmap(nullptr, sizeof(SShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        std::perror("mmap");
        return 2;
    }
    SShared& shared = *new (memory) SShared;
    for (int writer = 0; writer < writerCount; ++writer) {
        shared.lastSaved[writer] = -1;
        shared.nextSave[writer] = 0;
    }

    long rounds = 0, kills = 0, reads = 0, tornReads = 0, tornFiles = 0, lostFiles = 0;
    long staleOverBound = 0, temporariesRemoved = 0;
    std::size_t staleNow = 0, mostStale = 0, killsSinceCleanup = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        ++rounds;
        pid_t writers[writerCount];
        for (int writer = 0; writer < writerCount; ++writer) {
            writers[writer] = StartWriter(writer, shared);
        }
        // Read while both write, then kill them one after the other at random moments.
        for (int writer = 0; writer < writerCount; ++writer) {
            const auto killAt =
                std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 30000);
            std::string bytes;
            while (std::chrono::steady_clock::now() < killAt) {
                if (ReadWholeFile(meetingFile, bytes) == ReadStatus::read) {
                    ++reads;
                    tornReads += IdentifyVersion(bytes) ? 0 : 1;
                }
            }
            ::kill(writers[writer], SIGKILL);
            ::waitpid(writers[writer], nullptr, 0);
            ++kills;
            ++killsSinceCleanup;
        }

        // At rest: the file is the version of the last rename, which is the last save of one
        // writer that returned or the one it was killed in.
        std::string bytes;
        if (ReadWholeFile(meetingFile, bytes) != ReadStatus::read) {
            lostFiles += shared.saves > 0 ? 1 : 0;
        } else if (const auto version = IdentifyVersion(bytes)) {
            const long last = shared.lastSaved[version->first];
            if (version->second != last && version->second != last + 1) {
                ++lostFiles; // an older version came back
            }
        } else {
            ++tornFiles;
        }
        staleNow = CountTemporaryFiles(folder.Path());
        mostStale = std::max(mostStale, staleNow);
        staleOverBound += staleNow > killsSinceCleanup ? 1 : 0;

        // Now and then as the program does on opening the folder, with nobody else saving.
        if (rounds % 16 == 0) {
            temporariesRemoved += static_cast<long>(RemoveStaleTemporaryFiles(folder.Path()));
            staleOverBound += CountTemporaryFiles(folder.Path()) != 0 ? 1 : 0;
            killsSinceCleanup = 0;
            if (ReadWholeFile(meetingFile, bytes) != ReadStatus::read || !IdentifyVersion(bytes)) {
                ++lostFiles;
            }
        }
    }

    std::printf("seed %u, %.1f s: %ld rounds, %ld kills, %ld saves (%ld failed), "
                "%ld reads (%ld torn)\n",
                seed, seconds, rounds, kills, shared.saves.load(), shared.failures.load(), reads,
                tornReads);
    std::printf("after the kills: %ld torn files, %ld lost; temporary files left: at most %zu at "
                "once, %zu at the end, %ld removed by clean-ups, %ld times more than kills\n",
                tornFiles, lostFiles, mostStale, staleNow, temporariesRemoved, staleOverBound);
    const bool sound = tornReads == 0 && tornFiles == 0 && lostFiles == 0 && shared.failures == 0 &&
                       staleOverBound == 0 && shared.saves > 0;
    std::printf("%s\n", sound ? "PASS" : "FAIL");
    return sound ? 0 : 1;
}
