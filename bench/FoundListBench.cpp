// What the search results and the open todos cost the widgets, apart from the index: a new
// search's first page of 200 hits laid out and painted, the next page after a scroll to the
// end, and the open-todo list (one todo per meeting) refilled with its first page and
// painted; beside one bare walk over the same store in the same run. The ratios printed at the
// end are the figures to quote; the machines are noisy.

#include "bench/MedianReporter.h"
#include "calendar/OpenTodoListCtrl.h"
#include "calendar/SearchResultsCtrl.h"
#include "search/SearchHit.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/NoMeetingCommands.h"
#include "ui/SystemServices.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

CMeetingStore& BenchStore() {
    static CMeetingStore store;
    return store;
}

CDesktopServices& BenchServices() {
    static CSystemServices services;
    return services;
}

const CDateTime firstMeeting(2026, 1, 1, 0, 0, 0);
constexpr long long spreadSeconds = 380LL * 86400;
// A passage as the index gives one: some sixty characters with two words marked.
const std::string snippet = "the committee agreed the \x02"
                            "budget\x03 \x02"
                            "cuts\x03 for the "
                            "spring campaign; marketing keeps its share";

// The meeting folder of one size, written once with plain writes and loaded into the store.
class CFolder {
public:
    ~CFolder() {
        std::error_code error;
        if (!m_path.empty()) {
            fs::remove_all(m_path, error);
        }
    }

    void Load(int count) {
        if (count == m_count) {
            return;
        }
        std::error_code error;
        if (!m_path.empty()) {
            fs::remove_all(m_path, error);
        }
        std::string pattern = (fs::temp_directory_path() / "tavelin-found-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        m_path = pattern;
        m_ids.clear();
        for (int i = 0; i < count; ++i) {
            CMeeting record(firstMeeting.AddSeconds(spreadSeconds * i / count));
            record.id = MakeMeetingIdAt(firstMeeting.AddSeconds(i));
            record.title = "Meeting number " + std::to_string(i) + " of the planning committee";
            record.venue = "Room " + std::to_string(i % 40) + ", main building";
            record.icon = i % 72;
            const std::string bytes = EncodeMeeting(record);
            const fs::path file = m_path / ("meeting" + record.id + ".mtg");
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 ||
                ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
                throw std::runtime_error("cannot write " + file.string());
            }
            ::close(fd);
            m_ids.push_back(record.id);
        }
        SetWorkingDirectory(m_path);
        BenchStore().LoadAll();
        m_count = count;
    }

    // Every meeting's id, in the order written (oldest first).
    const std::vector<std::string>& Ids() const { return m_ids; }

private:
    fs::path m_path;
    std::vector<std::string> m_ids;
    int m_count = -1;
};

CFolder& Folder() {
    static CFolder folder;
    return folder;
}

// As many hits as asked for, newest first, spread over the whole folder.
std::vector<CSearchHit> Hits(std::size_t limit) {
    const std::vector<std::string>& ids = Folder().Ids();
    std::vector<CSearchHit> hits;
    const std::size_t count = std::min(limit, ids.size());
    const std::size_t stride = std::max<std::size_t>(1, ids.size() / 1000);
    for (std::size_t i = 0; i < count; ++i) {
        hits.push_back({ids[ids.size() - 1 - (i * stride) % ids.size()], snippet});
    }
    return hits;
}

void Enumerate(benchmark::State& state) {
    Folder().Load(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        long long sum = 0;
        for (const CMeetingMap::Entry& entry : BenchStore()) {
            sum += entry.value.icon + static_cast<long long>(entry.value.date.GetDayCount());
        }
        benchmark::DoNotOptimize(sum);
    }
}

// A key typed in the search field: the first page of 200 hits (made beforehand, as the index
// would hand them over) becomes rows and the screen's rows paint.
void SearchPage(benchmark::State& state) {
    Folder().Load(static_cast<int>(state.range(0)));
    CNoMeetingCommands commands;
    CSearchResultsCtrl list(BenchStore(), commands);
    const std::vector<CSearchHit> page = Hits(CSearchResultsCtrl::pageSize);
    list.SetSource([&page](std::string_view, std::size_t) { return page; });
    list.resize(1100, 1000); // the calendar's pane on a 1920 x 1080 screen
    QImage screen(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        list.Search(QStringLiteral("budg cut"));
        list.viewport()->render(&screen);
    }
    state.counters["rows"] = list.GetRowCount();
}

// Open todos, one per meeting, as the index hands them over: the list's refill with its first
// page (each todo's meeting looked up in the store) and a paint of the screen.
void TodoList(benchmark::State& state) {
    Folder().Load(static_cast<int>(state.range(0)));
    std::vector<COpenTodo> todos;
    for (const std::string& id : Folder().Ids()) {
        todos.push_back({id, 0, "Send the revised budget to the board", 2});
    }
    COpenTodoListCtrl list(BenchStore(), BenchServices());
    list.SetSource([&todos](const COpenTodo* after, std::size_t limit) {
        const std::size_t count = after != nullptr ? 0 : std::min(limit, todos.size());
        return std::vector<COpenTodo>(todos.begin(),
                                      todos.begin() + static_cast<std::ptrdiff_t>(count));
    });
    list.resize(1100, 1000);
    QImage screen(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        list.Refresh();
        list.viewport()->render(&screen);
    }
    state.counters["rows"] = list.GetRowCount();
}

void PrintRatios(const CMedianReporter& medians) {
    std::printf("\nMedians in this run, processor time (wall-clock in brackets):\n");
    for (const char* size : {"10000", "100000"}) {
        const CMedianReporter::Times* walk = medians.Find(std::string("Enumerate/") + size);
        if (walk == nullptr || walk->cpu <= 0) {
            continue;
        }
        for (const char* name : {"SearchPage", "TodoList"}) {
            if (const CMedianReporter::Times* step = medians.Find(std::string(name) + "/" + size)) {
                std::printf("  %-10s at %6s: %7.2f ms (%7.2f), enumeration %6.2f ms, "
                            "ratio %5.2f\n",
                            name, size, step->cpu, step->wall, walk->cpu, step->cpu / walk->cpu);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    for (const int count : {10000, 100000}) {
        for (const auto& [name, function] :
             {std::pair{"Enumerate", &Enumerate}, std::pair{"SearchPage", &SearchPage},
              std::pair{"TodoList", &TodoList}}) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(count)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true)
                ->Unit(benchmark::kMillisecond);
        }
    }
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
