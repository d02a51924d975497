// Times the search index at 100,000 meetings, each with all four content files, against what
// the same run pays without it: the first full build beside merely reading the same files,
// start-up with an up-to-date index (LoadAll while the index checks the folder) beside LoadAll
// alone, a query of one and of two words (the first 200 hits) and the open-todo list, its first
// page and a walk through all its pages. The ratios printed at the end are the figures to
// quote, not the times.

#include "search/FolderFiles.h"
#include "search/MeetingDocument.h"
#include "search/SearchKeeper.h"
#include "store/ContentFiles.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"

#include "bench/BenchFolder.h"
#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// TAVELIN_SEARCH_BENCH_MEETINGS sets another size, for a quick look while changing the index.
const int meetingCount = [] {
    const char* size = std::getenv("TAVELIN_SEARCH_BENCH_MEETINGS");
    return size != nullptr && std::atoi(size) > 0 ? std::atoi(size) : 100'000;
}();

// 100,000 meetings an hour apart and their four content files, written once with plain writes.
// As the open-todo list asks for them.
constexpr std::size_t openTodoPage = 500;

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path path = BenchFolder::MakeTemporaryFolder("tavelin-search-bench");
        BenchFolder::WriteFullMeetings(path, meetingCount);
        return path;
    }();
    return folder;
}

// The cache folder the keeper keeps its index in (XDG_CACHE_HOME points at it).
const fs::path& Cache() {
    static const fs::path cache = BenchFolder::MakeTemporaryFolder("tavelin-search-cache");
    return cache;
}

// The window's thread: while `timing`, each event it handles is timed (wall clock), so that
// what a build costs the window shows as the longest and the typical pause.
class CTimedApp : public QCoreApplication {
public:
    using QCoreApplication::QCoreApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (!timing) {
            return QCoreApplication::notify(receiver, event);
        }
        const auto start = std::chrono::steady_clock::now();
        const bool handled = QCoreApplication::notify(receiver, event);
        pauses.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        return handled;
    }
    bool timing = false;
    std::vector<double> pauses;
};

CTimedApp& App() {
    return *static_cast<CTimedApp*>(QCoreApplication::instance());
}

double FileSize(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0.0 : static_cast<double>(size);
}

// The index file and its write-ahead log, all the cache folder holds.
double IndexBytes() {
    double bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(Cache() / "tavelin")) {
        if (entry.is_regular_file()) {
            bytes += FileSize(entry.path());
        }
    }
    return bytes;
}

// Waits in the event loop, as the window does: a loop spinning here would take a core from
// the threads that build the index.
void WaitUntilUpToDate(const CSearchKeeper& keeper) {
    QEventLoop loop;
    QObject::connect(&keeper, &CSearchKeeper::upToDate, &loop, &QEventLoop::quit);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&keeper, &loop] {
        if (keeper.IsUpToDate() || !keeper.IsAvailable()) {
            loop.quit();
        }
    });
    check.start(100);
    if (!keeper.IsUpToDate() && keeper.IsAvailable()) {
        loop.exec();
    }
    if (!keeper.IsAvailable()) {
        throw std::runtime_error("no index");
    }
}

// An index that holds the whole folder, made once.
CSearchKeeper& BuiltKeeper() {
    static CSearchKeeper* keeper = [] {
        auto* made = new CSearchKeeper;
        made->Open(Folder());
        WaitUntilUpToDate(*made);
        return made;
    }();
    return *keeper;
}

// What any indexer pays: list the folder, then open, read whole and close each file.
void ReadFloor(benchmark::State& state) {
    const fs::path& folder = Folder();
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        std::size_t total = 0;
        DIR* dir = ::opendir(folder.c_str());
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_type != DT_REG) {
                continue;
            }
            const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC);
            ssize_t got = 0;
            while ((got = ::read(fd, buffer.data(), buffer.size())) > 0) {
                total += static_cast<std::size_t>(got);
            }
            ::close(fd);
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(total);
    }
}

// A search until answered: at once, or by the query thread when it would hold the window's
// thread too long. `windowMs` gets the window's part.
std::vector<CSearchHit> Answer(CSearchKeeper& keeper, const char* words, std::size_t limit,
                               double* windowMs = nullptr) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<CSearchHit> found = keeper.Search(words, limit);
    if (windowMs != nullptr) {
        *windowMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    if (found.empty()) {
        QEventLoop answered;
        QObject::connect(&keeper, &CSearchKeeper::searchAnswered, &answered, &QEventLoop::quit);
        QTimer::singleShot(std::chrono::seconds(60), &answered, &QEventLoop::quit);
        answered.exec();
        found = keeper.Search(words, limit);
    }
    return found;
}

// Open on a folder whose index is missing, until the index holds every meeting.
void FirstBuild(benchmark::State& state) {
    const fs::path& folder = Folder();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(Cache() / "tavelin");
        state.ResumeTiming();
        App().pauses.clear();
        App().timing = true;
        CSearchKeeper keeper;
        keeper.Open(folder);
        WaitUntilUpToDate(keeper);
        App().timing = false;
    }
    std::vector<double>& pauses = App().pauses;
    std::sort(pauses.begin(), pauses.end());
    if (!pauses.empty()) {
        state.counters["window_ms_median"] = pauses[pauses.size() / 2];
        state.counters["window_ms_max"] = pauses.back();
        state.counters["window_events"] = static_cast<double>(pauses.size());
    }
    state.counters["index_MB"] = IndexBytes() / 1e6;
    CSearchKeeper keeper;
    keeper.Open(folder);
    WaitUntilUpToDate(keeper);
    state.counters["hits_for_budget"] =
        static_cast<double>(Answer(keeper, "budget", meetingCount).size());
}

// The folder's documents as the index reads them, read once, untimed.
const std::vector<CMeetingDocument>& Documents() {
    static const std::vector<CMeetingDocument> documents = [] {
        std::vector<CMeetingDocument> read;
        const int fd = ::open(Folder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const std::atomic<bool> never{false};
        for (const CListedFile& file : ListMeetingFiles(fd, never)) {
            if (IsMeetingFileName(file.name)) {
                if (auto update = ReadMeetingUpdate(fd, file.meetingId); update.document) {
                    read.push_back(std::move(*update.document));
                }
            }
        }
        ::close(fd);
        return read;
    }();
    return documents;
}

double TextBytes() {
    double bytes = 0;
    for (const CMeetingDocument& d : Documents()) {
        bytes += static_cast<double>(d.title.size() + d.reference.size() + d.venue.size() +
                                     d.presidedBy.size() + d.notes.size() + d.attendees.size() +
                                     d.agenda.size() + d.minutes.size() + d.todos.size());
    }
    return bytes;
}

void Run(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sqlite3_errmsg(db));
    }
}

// The same texts into a bare FTS5 table: one connection, one transaction per 10,000
// documents, the texts already in memory. What no indexer of these files can beat.
void BareBuild(benchmark::State& state) {
    const std::vector<CMeetingDocument>& documents = Documents();
    const fs::path file = Cache() / "bare.sqlite";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(file);
        fs::remove(file.string() + "-wal");
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        Run(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = OFF;"
                "CREATE VIRTUAL TABLE docs USING fts5(title, reference, venue, presided, notes, "
                "attendees, agenda, minutes, todos, tokenize = 'unicode61 remove_diacritics 2')");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO docs VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)", -1,
                           &insert, nullptr);
        for (std::size_t i = 0; i < documents.size(); ++i) {
            if (i % 10'000 == 0) {
                Run(db, i == 0 ? "BEGIN" : "COMMIT; BEGIN");
            }
            const CMeetingDocument& d = documents[i];
            int column = 0;
            for (const std::string* text :
                 {&d.title, &d.reference, &d.venue, &d.presidedBy, &d.notes, &d.attendees,
                  &d.agenda, &d.minutes, &d.todos}) {
                sqlite3_bind_text(insert, ++column, text->data(), static_cast<int>(text->size()),
                                  SQLITE_STATIC);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        Run(db, "COMMIT");
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }
    state.counters["index_MB"] = FileSize(file) / 1e6;
    state.counters["text_MB"] = TextBytes() / 1e6;
    if (std::getenv("TAVELIN_SEARCH_BENCH_KEEP") == nullptr) {
        fs::remove(file);
    }
}

void LoadAll(benchmark::State& state) {
    SetWorkingDirectory(Folder());
    CMeetingStore store;
    for (auto _ : state) {
        store.LoadAll();
    }
    if (store.GetCount() != static_cast<std::size_t>(meetingCount)) {
        state.SkipWithError("LoadAll lost meetings");
    }
}

// Start-up as the program does it: the index checks the folder on its own thread while the
// store loads, and start-up ends when both are done.
void LoadAllAndCatchUp(benchmark::State& state) {
    BuiltKeeper();
    SetWorkingDirectory(Folder());
    CMeetingStore store;
    for (auto _ : state) {
        CSearchKeeper keeper;
        keeper.Open(Folder());
        store.LoadAll();
        WaitUntilUpToDate(keeper);
    }
}

// Start-up as the user waits for it: LoadAll while the check runs beside it, then a search
// answered from the index; the check may still run on. It is waited for untimed, so that the
// next round starts on a quiet machine.
void LoadAllBesideCatchUp(benchmark::State& state) {
    BuiltKeeper();
    SetWorkingDirectory(Folder());
    CMeetingStore store;
    std::size_t hits = 0;
    for (auto _ : state) {
        CSearchKeeper keeper;
        keeper.Open(Folder());
        store.LoadAll();
        hits = keeper.Search("budg", 200).size();
        state.PauseTiming();
        WaitUntilUpToDate(keeper);
        state.ResumeTiming();
    }
    state.counters["hits"] = static_cast<double>(hits);
}

// The check alone: Open on an up-to-date index, until it says so.
void CatchUpCheck(benchmark::State& state) {
    BuiltKeeper();
    for (auto _ : state) {
        CSearchKeeper keeper;
        keeper.Open(Folder());
        WaitUntilUpToDate(keeper);
    }
}

// The first 200 hits, until answered; the window's typical and longest part beside it.
void Query(benchmark::State& state, const char* words) {
    CSearchKeeper& keeper = BuiltKeeper();
    std::size_t hits = 0;
    std::vector<double> windows;
    for (auto _ : state) {
        double window = 0;
        const std::vector<CSearchHit> found = Answer(keeper, words, 200, &window);
        windows.push_back(window);
        hits = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    std::sort(windows.begin(), windows.end());
    state.counters["hits"] = static_cast<double>(hits);
    state.counters["window_ms_median"] = windows[windows.size() / 2];
    state.counters["window_ms_max"] = windows.back();
}

void QueryOneWord(benchmark::State& state) {
    Query(state, "budg");
}
void QueryTwoWords(benchmark::State& state) {
    Query(state, "budg cut");
}
void QueryOneLetter(benchmark::State& state) {
    Query(state, "a");
}
void QueryShortPrefix(benchmark::State& state) {
    Query(state, "ro");
}
void QueryRareWords(benchmark::State& state) {
    Query(state, CMeetingTexts().Word(2900).c_str());
}

// The whole open-todo list in one answer, as the list asked for it before it paged.
void OpenTodos(benchmark::State& state) {
    const CSearchKeeper& keeper = BuiltKeeper();
    std::size_t count = 0;
    for (auto _ : state) {
        const std::vector<COpenTodo> todos = keeper.OpenTodos();
        count = todos.size();
        benchmark::DoNotOptimize(todos.data());
    }
    state.counters["todos"] = static_cast<double>(count);
}

// What the list asks for when it is shown: its first page.
void OpenTodosFirstPage(benchmark::State& state) {
    const CSearchKeeper& keeper = BuiltKeeper();
    for (auto _ : state) {
        const std::vector<COpenTodo> todos = keeper.OpenTodos(nullptr, openTodoPage);
        benchmark::DoNotOptimize(todos.data());
    }
}

// Every page, each after the last todo of the one before: a user scrolling to the very end.
void OpenTodosWalk(benchmark::State& state) {
    const CSearchKeeper& keeper = BuiltKeeper();
    std::size_t count = 0;
    for (auto _ : state) {
        count = 0;
        std::vector<COpenTodo> page = keeper.OpenTodos(nullptr, openTodoPage);
        while (!page.empty()) {
            count += page.size();
            const COpenTodo last = page.back();
            page = keeper.OpenTodos(&last, openTodoPage);
        }
    }
    state.counters["todos"] = static_cast<double>(count);
}

void Ratio(const CMedianReporter& medians, const std::string& top, const std::string& bottom,
           const char* label, const char* target) {
    const CMedianReporter::Times* a = medians.Find(top);
    const CMedianReporter::Times* b = medians.Find(bottom);
    if (a != nullptr && b != nullptr && b->wall > 0 && b->cpu > 0) {
        std::printf("  %-44s wall %8.3f  cpu %8.3f  [%s]\n", (label + std::string(":")).c_str(),
                    a->wall / b->wall, a->cpu / b->cpu, target);
    }
}

void Time(const CMedianReporter& medians, const std::string& name, const char* target) {
    if (const CMedianReporter::Times* t = medians.Find(name)) {
        std::printf("  %-44s wall %8.2f ms  [%s]\n", (name + ":").c_str(), t->wall, target);
    }
}

void PrintRatios(const CMedianReporter& medians) {
    std::printf("\nAt %d meetings, ratios of medians in this run (targets in brackets):\n",
                meetingCount);
    Ratio(medians, "FirstBuild/", "ReadFloor/", "first build / reading the files", "reference");
    Ratio(medians, "FirstBuild/", "BareBuild/", "first build / bare FTS5 build", "<= 1.3");
    Ratio(medians, "BareBuild/", "ReadFloor/", "bare FTS5 build / reading the files", "reference");
    Ratio(medians, "LoadAllAndCatchUp/", "LoadAll/", "start-up with index / LoadAll", "<= 1.2");
    Ratio(medians, "LoadAllBesideCatchUp/", "LoadAll/",
          "LoadAll and a search, check beside / LoadAll", "<= 1.2");
    Ratio(medians, "CatchUpCheck/", "LoadAll/", "catch-up check alone / LoadAll", "reference");
    Time(medians, "QueryOneWord/", "< 20 ms");
    Time(medians, "QueryTwoWords/", "< 20 ms");
    Time(medians, "QueryOneLetter/", "<= 20 ms");
    Time(medians, "QueryShortPrefix/", "<= 16 ms");
    Time(medians, "QueryRareWords/", "reference");
    Time(medians, "OpenTodosFirstPage/", "< 50 ms");
    Time(medians, "OpenTodosWalk/", "reference");
    Time(medians, "OpenTodos/", "reference");
}

void Register() {
    const auto slow = [](benchmark::internal::Benchmark* b) {
        b->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
    };
    const auto quick = [](benchmark::internal::Benchmark* b) {
        b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
    };
    // Each beside its floor, one after the other, so that both see the same machine state.
    slow(benchmark::RegisterBenchmark("ReadFloor", ReadFloor)->UseRealTime());
    slow(benchmark::RegisterBenchmark("FirstBuild", FirstBuild)->UseRealTime());
    slow(benchmark::RegisterBenchmark("BareBuild", BareBuild)->UseRealTime());
    slow(benchmark::RegisterBenchmark("LoadAll", LoadAll)->UseRealTime());
    slow(benchmark::RegisterBenchmark("LoadAllAndCatchUp", LoadAllAndCatchUp)->UseRealTime());
    slow(benchmark::RegisterBenchmark("LoadAllBesideCatchUp", LoadAllBesideCatchUp)->UseRealTime());
    slow(benchmark::RegisterBenchmark("CatchUpCheck", CatchUpCheck)->UseRealTime());
    quick(benchmark::RegisterBenchmark("QueryOneWord", QueryOneWord));
    quick(benchmark::RegisterBenchmark("QueryTwoWords", QueryTwoWords));
    quick(benchmark::RegisterBenchmark("QueryOneLetter", QueryOneLetter));
    quick(benchmark::RegisterBenchmark("QueryShortPrefix", QueryShortPrefix));
    quick(benchmark::RegisterBenchmark("QueryRareWords", QueryRareWords));
    quick(benchmark::RegisterBenchmark("OpenTodosFirstPage", OpenTodosFirstPage));
    quick(benchmark::RegisterBenchmark("OpenTodosWalk", OpenTodosWalk));
    quick(benchmark::RegisterBenchmark("OpenTodos", OpenTodos));
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("XDG_CACHE_HOME", Cache().c_str(), 1);
    CTimedApp app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    Register();
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    if (std::getenv("TAVELIN_SEARCH_BENCH_KEEP") != nullptr) {
        std::printf("kept %s and %s\n", Folder().c_str(), Cache().c_str());
        return 0;
    }
    std::error_code error;
    fs::remove_all(Folder(), error);
    fs::remove_all(Cache(), error);
    return 0;
}
