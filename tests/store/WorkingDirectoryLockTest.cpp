#include "store/WorkingDirectoryLock.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Result = CWorkingDirectoryLock::Result;

namespace {

// A child process that takes the folder's lock, says so through a pipe, then waits to be
// killed: another copy of the program with the folder open.
class COtherProcess {
public:
    explicit COtherProcess(const fs::path& folder) {
        int ends[2];
        if (::pipe(ends) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ends[0]);
            CWorkingDirectoryLock lock;
            const char answer = lock.Acquire(folder) == Result::locked ? 'y' : 'n';
            (void)!::write(ends[1], &answer, 1);
            for (;;) {
                ::pause();
            }
        }
        ::close(ends[1]);
        char answer = 0;
        m_locked = ::read(ends[0], &answer, 1) == 1 && answer == 'y';
        ::close(ends[0]);
    }
    ~COtherProcess() { Kill(); }

    bool Locked() const { return m_locked; }
    // Ends the process the way a crash does: no destructor, no clean-up of its own.
    void Kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    bool m_locked = false;
};

} // namespace

// One holder across processes, and after a crash. Two lock objects of one process are refused
// like two processes are, which lets the moves with the working directory be checked here.
TEST(WorkingDirectoryLock, OneHolderAcrossProcessesAndMoves) {
    CTempFolder folder;
    COtherProcess other(folder.Path());
    ASSERT_TRUE(other.Locked());
    CWorkingDirectoryLock lock;
    EXPECT_EQ(lock.Acquire(folder.Path()), Result::heldElsewhere);
    EXPECT_FALSE(lock.IsHeld());
    other.Kill();
    EXPECT_EQ(lock.Acquire(folder.Path()), Result::locked)
        << "a killed holder must not leave the folder locked";
    EXPECT_FALSE(COtherProcess(folder.Path()).Locked()) << "now this process holds it";
    lock.Release();
    EXPECT_TRUE(COtherProcess(folder.Path()).Locked());

    CTempFolder second;
    CWorkingDirectoryLock again;
    ASSERT_EQ(lock.Acquire(folder.Path()), Result::locked);
    EXPECT_EQ(again.Acquire(folder.Path()), Result::heldElsewhere);
    EXPECT_EQ(lock.Acquire(second.Path()), Result::locked);
    EXPECT_EQ(lock.GetFolder(), second.Path());
    EXPECT_EQ(again.Acquire(folder.Path()), Result::locked) << "the old folder stayed locked";
    EXPECT_EQ(lock.Acquire(folder.Path()), Result::heldElsewhere);
    EXPECT_EQ(lock.GetFolder(), second.Path()) << "a refused move keeps the folder held";
    CWorkingDirectoryLock third;
    EXPECT_EQ(third.Acquire(second.Path()), Result::heldElsewhere);

    // Where no lock file can be made, the old folder is given up all the same.
    EXPECT_EQ(lock.Acquire(folder / "missing"), Result::unavailable);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_EQ(third.Acquire(second.Path()), Result::locked);
}

// Something other than a file under the lock's name would let every copy go on unguarded: the
// folder is refused, the lock held so far stays, and the reason says what is in the way.
TEST(WorkingDirectoryLock, ANameTakenByNoFileBlocksTheFolder) {
    const struct {
        const char* kind;
        void (*plant)(const fs::path& at, const fs::path& elsewhere);
    } cases[] = {
        {"a folder", [](const fs::path& at, const fs::path&) { fs::create_directory(at); }},
        {"a symbolic link",
         [](const fs::path& at, const fs::path& elsewhere) {
             fs::create_symlink(elsewhere / "nothing", at);
         }},
        {"a named pipe",
         [](const fs::path& at, const fs::path&) { ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0); }},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.kind);
        CTempFolder held;
        CTempFolder blocked;
        CTempFolder elsewhere;
        const fs::path at = blocked / std::string(CWorkingDirectoryLock::fileName);
        each.plant(at, elsewhere.Path());
        CWorkingDirectoryLock lock;
        ASSERT_EQ(lock.Acquire(held.Path()), Result::locked);
        EXPECT_EQ(lock.Acquire(blocked.Path()), Result::blocked);
        EXPECT_EQ(lock.GetReason(), each.kind);
        EXPECT_EQ(CWorkingDirectoryLock::BlockerOf(blocked.Path()), each.kind);
        EXPECT_EQ(lock.GetFolder(), held.Path()) << "the folder in use stays locked";
        EXPECT_EQ(CWorkingDirectoryLock().Acquire(held.Path()), Result::heldElsewhere);
        EXPECT_FALSE(fs::exists(elsewhere / "nothing")) << "a lock made through the link";
    }
    CTempFolder plain;
    EXPECT_EQ(CWorkingDirectoryLock::BlockerOf(plain.Path()), std::nullopt);
}
