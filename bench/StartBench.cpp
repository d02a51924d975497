// How long the program takes to show that it is alive: starts the real program binary on a
// folder of 100,000 meetings with all four content files each (500,000 files) and measures,
// from just before the start to the loading window's first paint, on the system's monotonic
// clock (the program prints it and ends itself when TAVELIN_QUIT_WHEN_LOADING_SHOWN is set).
// Warm: the files are in the page cache. Cold: the page cache is dropped before each start
// (this needs root; without it the cold runs are left out and the program says so).
//
//   start_bench [program]      the program defaults to ../tavelin beside this bench
//   TAVELIN_START_BENCH_MEETINGS=10000    another size
//   TAVELIN_START_BENCH_FOLDER=/path      a folder written by an earlier run, kept afterwards
//   TAVELIN_START_BENCH_HOME=/path        the settings and caches there, kept afterwards (to
//                                         start the program by hand on the same folder)

#include "app/Settings.h"
#include "store/ContentFiles.h"
#include "store/MeetingFile.h"

#include "bench/BenchFolder.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int startsPerMode = 7;

using BenchFolder::MakeTemporaryFolder;

double Now() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool DropPageCache() {
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
    const bool dropped = fd >= 0 && ::write(fd, "3", 1) == 1;
    if (fd >= 0) {
        ::close(fd);
    }
    return dropped;
}

// Seconds from the start of `program` to the loading window's first paint; negative when the
// program ended without painting it.
double TimeOneStart(const fs::path& program) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const double started = Now();
    pid_t child = 0;
    const int error = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (error != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start " + program.string());
    }
    // A program that waits for the user (no folder, a question) is ended after a minute.
    const pid_t watchdog = ::fork();
    if (watchdog == 0) {
        ::sleep(60);
        ::kill(child, SIGKILL);
        ::_exit(0);
    }
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::kill(watchdog, SIGKILL);
    ::waitpid(watchdog, &status, 0);
    const std::string mark = "loading window painted ";
    const std::size_t at = output.find(mark);
    return at == std::string::npos ? -1 : std::atof(output.c_str() + at + mark.size()) - started;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Report(const char* mode, const std::vector<double>& times) {
    std::printf("%-5s start to loading window: median %6.3f s, min %6.3f, max %6.3f (%zu starts)"
                "  [<= 0.5 s]\n",
                mode, Median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), times.size());
}

void TimeStarts(const fs::path& program) {
    TimeOneStart(program); // the program's own files into the cache
    std::vector<double> warm;
    std::vector<double> cold;
    for (int i = 0; i < startsPerMode; ++i) {
        warm.push_back(TimeOneStart(program));
        if (DropPageCache()) {
            cold.push_back(TimeOneStart(program));
        }
    }
    if (std::find_if(warm.begin(), warm.end(), [](double t) { return t < 0; }) != warm.end()) {
        throw std::runtime_error("the program ended without showing the loading window");
    }
    Report("warm", warm);
    if (cold.empty()) {
        std::printf("cold  not measured: the page cache cannot be dropped (needs root)\n");
    } else {
        Report("cold", cold);
    }
}

} // namespace

int main(int argc, char** argv) {
    const fs::path program =
        argc > 1 ? fs::path(argv[1])
                 : fs::read_symlink("/proc/self/exe").parent_path() / ".." / "tavelin";
    const char* size = std::getenv("TAVELIN_START_BENCH_MEETINGS");
    const int count = size != nullptr && std::atoi(size) > 0 ? std::atoi(size) : 100'000;
    const char* given = std::getenv("TAVELIN_START_BENCH_FOLDER");
    fs::path folder = given != nullptr ? fs::path(given) : fs::path();
    const bool keep = !folder.empty();
    if (folder.empty()) {
        folder = MakeTemporaryFolder("tavelin-start-bench");
    }
    fs::create_directories(folder);
    if (fs::is_empty(folder)) {
        std::printf("writing %d meetings and their content files into %s\n", count, folder.c_str());
        BenchFolder::WriteFullMeetings(folder, count);
    }
    // The program's settings and search cache in folders of their own, pointing at the folder.
    const char* givenHome = std::getenv("TAVELIN_START_BENCH_HOME");
    const fs::path home = givenHome != nullptr ? fs::path(givenHome)
                                               : MakeTemporaryFolder("tavelin-start-bench-home");
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (home / "runtime").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("TAVELIN_QUIT_WHEN_LOADING_SHOWN", "1", 1);
    Settings::WritePath(QString::fromStdString(folder.string()));
    int result = 0;
    try {
        TimeStarts(program);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        result = 1;
    }
    std::error_code ignored;
    if (givenHome == nullptr) {
        fs::remove_all(home, ignored);
    }
    if (!keep) {
        fs::remove_all(folder, ignored);
    }
    return result;
}
