// Times the store against what the file system alone costs: LoadAll beside a floor that opens
// and reads the same files and does nothing else, measured in the same run; and the calendar's
// questions by date beside one walk over every meeting. Machines are noisy, so the ratios
// printed at the end are the figures to quote, not the times.

#include "store/DayListFill.h"
#include "store/MeetingFile.h"
#include "store/MeetingListFill.h"
#include "store/MeetingStore.h"
#include "store/MonthGridFill.h"
#include "store/WeekListFill.h"
#include "store/WorkingDirectory.h"

#include "bench/BenchFolder.h"
#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A folder of `count` meeting files, made once per size with plain writes (the store's own
// writes flush every file to disk, which would take minutes at 100,000).
struct CMeetingFolder {
    fs::path path;
    std::vector<std::string> files;
    std::vector<std::string> ids;
};

class CFolders {
public:
    ~CFolders() {
        std::error_code error;
        for (const auto& [count, folder] : m_folders) {
            fs::remove_all(folder.path, error);
        }
    }

    const CMeetingFolder& Get(int count) {
        auto found = m_folders.find(count);
        if (found == m_folders.end()) {
            found = m_folders.emplace(count, Make(count)).first;
        }
        return found->second;
    }

private:
    static CMeetingFolder Make(int count) {
        CMeetingFolder folder{BenchFolder::MakeTemporaryFolder("tavelin-bench"), {}, {}};
        CMeetingTexts text; // a title of 4 words, notes of 12, as people write them
        for (int i = 0; i < count; ++i) {
            const CMeeting record = BenchFolder::MeetingNumber(i, text);
            const fs::path file = folder.path / ("meeting" + record.id + ".mtg");
            BenchFolder::WritePlain(file, EncodeMeeting(record));
            folder.files.push_back(file.string());
            folder.ids.push_back(record.id);
        }
        std::shuffle(folder.ids.begin(), folder.ids.end(), std::mt19937(7));
        return folder;
    }

    std::map<int, CMeetingFolder> m_folders;
};

CFolders& Folders() {
    static CFolders folders;
    return folders;
}

// What any loader pays: list the folder, then open, read once and close each file, opening
// by the bare name relative to the open folder as LoadAll does.
void ReadFloor(benchmark::State& state) {
    const CMeetingFolder& folder = Folders().Get(static_cast<int>(state.range(0)));
    char buffer[4096];
    for (auto _ : state) {
        std::size_t total = 0;
        DIR* dir = ::opendir(folder.path.c_str());
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_type != DT_REG) {
                continue;
            }
            const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_CLOEXEC);
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            total += got > 0 ? static_cast<std::size_t>(got) : 0;
            ::close(fd);
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(total);
    }
}

void LoadAll(benchmark::State& state) {
    const CMeetingFolder& folder = Folders().Get(static_cast<int>(state.range(0)));
    SetWorkingDirectory(folder.path);
    CMeetingStore store;
    for (auto _ : state) {
        store.LoadAll();
    }
    if (store.GetCount() != folder.files.size()) {
        state.SkipWithError("LoadAll lost meetings");
    }
    // What the loaded store keeps on the heap, per meeting. Large arrays (the id index, the
    // date index) come from mmap once they pass glibc's threshold and are counted apart.
    const auto heapInUse = [] {
        const struct mallinfo2 info = ::mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    // A store of its own, so that arrays kept from the runs above are counted as well.
    store.RemoveAll();
    ::malloc_trim(0);
    const std::size_t before = heapInUse();
    CMeetingStore fresh;
    fresh.LoadAll();
    const std::size_t after = heapInUse();
    state.counters["bytes_per_meeting"] =
        static_cast<double>(after - before) / static_cast<double>(fresh.GetCount());
}

// Looks up `sample` of the stored ids in a fixed random order, again and again.
void LookUp(benchmark::State& state, std::size_t sample) {
    const CMeetingFolder& folder = Folders().Get(static_cast<int>(state.range(0)));
    SetWorkingDirectory(folder.path);
    CMeetingStore store;
    store.LoadAll();
    const std::vector<std::string> ids(folder.ids.begin(),
                                       folder.ids.begin() + std::min(sample, folder.ids.size()));
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.GetMeeting(ids[next]));
        next = next + 1 == ids.size() ? 0 : next + 1;
    }
}

// The same 1,000 meetings asked for in a store of each size: what the size itself costs.
void GetMeeting(benchmark::State& state) {
    LookUp(state, 1000);
}

// Every stored meeting asked for in random order: at 100,000 the records no longer fit the
// processor's caches, so this adds memory latency to the lookup itself.
void GetMeetingAnyId(benchmark::State& state) {
    LookUp(state, SIZE_MAX);
}

void Enumerate(benchmark::State& state) {
    const CMeetingFolder& folder = Folders().Get(static_cast<int>(state.range(0)));
    SetWorkingDirectory(folder.path);
    CMeetingStore store;
    store.LoadAll();
    for (auto _ : state) {
        long long sum = 0;
        for (const CMeetingMap::Entry& entry : store) {
            sum += entry.value.icon + static_cast<long long>(entry.value.date.GetDayCount());
        }
        benchmark::DoNotOptimize(sum);
    }
}

// The meetings are an hour apart from 5 March 2004, 09:00: a day holds 24, a week 168, a month
// about 730 (at 1,000 meetings that is most of the store, at 100,000 under 1 %).
const CDateTime firstMeeting(2004, 3, 5, 9, 0, 0);
constexpr long long day = 86400;

long long DayStart(long long second) {
    return second / day * day; // the meetings are all after 1899
}

long long MonthStart(long long second, int monthsLater) {
    using namespace std::chrono;
    const sys_days epoch = year(1899) / December / 30;
    const year_month_day date(epoch + days(second / day));
    const year_month month = date.year() / date.month() + months(monthsLater);
    return (sys_days(month / 1) - epoch).count() * day;
}

long long WeekStart(long long second) {
    const long long midnight = DayStart(second);
    return midnight - (midnight / day + 6) % 7 * day; // the Sunday on or before
}

// The band a calendar view shows around `second`.
enum class EView { day, week, grid, month };

std::pair<long long, long long> BandOf(EView view, long long second) {
    switch (view) {
    case EView::day:
        return {DayStart(second), DayStart(second) + day};
    case EView::week:
        return {WeekStart(second), WeekStart(second) + 7 * day};
    case EView::grid: { // six weeks from the Sunday on or before the 1st
        const long long first = WeekStart(MonthStart(second, 0));
        return {first, first + 42 * day};
    }
    case EView::month:
        break;
    }
    return {MonthStart(second, 0), MonthStart(second, 1)};
}

// Twelve dates spread over the stored meetings: each run asks the next, so that the hits are
// not always the same few entries already in the caches.
std::vector<long long> ShownDates(std::size_t count) {
    std::vector<long long> dates;
    for (std::size_t k = 0; k < 12; ++k) {
        const long long hours = static_cast<long long>(count * (2 * k + 1) / 24);
        dates.push_back(firstMeeting.ToSerialSeconds() + hours * 3600);
    }
    return dates;
}

void Band(benchmark::State& state, EView view) {
    const CMeetingFolder& folder = Folders().Get(static_cast<int>(state.range(0)));
    SetWorkingDirectory(folder.path);
    CMeetingStore store;
    store.LoadAll();
    const std::vector<long long> dates = ShownDates(store.GetCount());
    std::size_t next = 0;
    std::size_t hits = 0;
    for (auto _ : state) {
        const auto [first, end] = BandOf(view, dates[next]);
        const std::vector<const CMeetingMap::Entry*> found = store.MeetingsInBand(first, end);
        hits += found.size();
        benchmark::DoNotOptimize(found.data());
        next = next + 1 == dates.size() ? 0 : next + 1;
    }
    state.counters["meetings"] = static_cast<double>(hits) /
                                 static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
}

void BandDay(benchmark::State& state) {
    Band(state, EView::day);
}
void BandWeek(benchmark::State& state) {
    Band(state, EView::week);
}
void BandGrid(benchmark::State& state) {
    Band(state, EView::grid);
}
void BandMonth(benchmark::State& state) {
    Band(state, EView::month);
}

// A fill as a calendar view asks it for its shown date, `fill(store, date)`, the next of the
// twelve dates each run. Another fill is one more line here and one in the list below.
template <typename Fill> void FillAt(benchmark::State& state, const Fill& fill) {
    const CMeetingFolder& folder = Folders().Get(static_cast<int>(state.range(0)));
    SetWorkingDirectory(folder.path);
    CMeetingStore store;
    store.LoadAll();
    const std::vector<long long> dates = ShownDates(store.GetCount());
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fill(store, CDateTime::FromSerialSeconds(dates[next])));
        next = next + 1 == dates.size() ? 0 : next + 1;
    }
}

// The month's meeting list: the band, the rows, their order.
void FillList(benchmark::State& state) {
    FillAt(state, FillMeetingList);
}

// The day list, the week list, the month grid and one day's tooltip text.
void FillDay(benchmark::State& state) {
    FillAt(state, FillDayList);
}

void FillWeek(benchmark::State& state) {
    FillAt(state, FillWeekList);
}

void FillGrid(benchmark::State& state) {
    FillAt(state, FillMonthGrid);
}

void DayTip(benchmark::State& state) {
    FillAt(state, DayTipText);
}

void Ratio(const CMedianReporter& medians, const std::string& top, const std::string& bottom,
           const char* label, const char* target) {
    const CMedianReporter::Times* a = medians.Find(top);
    const CMedianReporter::Times* b = medians.Find(bottom);
    if (a != nullptr && b != nullptr && b->wall > 0 && b->cpu > 0) {
        std::printf("  %-42s wall %8.4f  cpu %8.4f  [%s]\n", (label + std::string(":")).c_str(),
                    a->wall / b->wall, a->cpu / b->cpu, target);
    }
}

void PrintRatios(const CMedianReporter& medians) {
    std::printf("\nRatios of medians in this run, wall-clock and processor time "
                "(targets in brackets):\n");
    for (const char* size : {"1000", "10000", "100000"}) {
        Ratio(medians, std::string("LoadAll/") + size, std::string("ReadFloor/") + size,
              (std::string("LoadAll / floor at ") + size).c_str(), "<= 1.3");
    }
    Ratio(medians, "LoadAll/100000", "LoadAll/10000", "LoadAll 100,000 / 10,000", "<= 12");
    Ratio(medians, "ReadFloor/100000", "ReadFloor/10000", "floor 100,000 / 10,000",
          "for reference");
    Ratio(medians, "GetMeeting/100000", "GetMeeting/1000", "GetMeeting 100,000 / 1,000", "<= 2");
    Ratio(medians, "GetMeetingAnyId/100000", "GetMeetingAnyId/1000", "any id 100,000 / 1,000",
          "for reference");
    for (const char* size : {"1000", "10000", "100000"}) {
        const std::string walk = std::string("Enumerate/") + size;
        for (const char* name : {"BandDay", "BandWeek", "BandGrid", "BandMonth", "FillList",
                                 "FillDay", "FillWeek", "FillGrid", "DayTip"}) {
            Ratio(medians, std::string(name) + "/" + size, walk,
                  (std::string(name) + " / enumeration at " + size).c_str(),
                  std::string(size) == "100000" ? "<= 0.05" : "for reference");
        }
    }
}

void Register() {
    const auto setUp = [](benchmark::internal::Benchmark* b) {
        b->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
    };
    // The floor and LoadAll alternate size by size so that both see the same machine state.
    for (const int count : {1000, 10000, 100000}) {
        setUp(benchmark::RegisterBenchmark("ReadFloor", ReadFloor)->Arg(count));
        setUp(benchmark::RegisterBenchmark("LoadAll", LoadAll)->Arg(count));
    }
    using Function = void (*)(benchmark::State&);
    const std::pair<const char*, Function> lookups[] = {{"GetMeeting", GetMeeting},
                                                        {"GetMeetingAnyId", GetMeetingAnyId}};
    for (const auto& [name, function] : lookups) {
        for (const int count : {1000, 100000}) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(count)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
    // The calendar's questions beside one walk over every meeting, size by size in turn.
    const std::pair<const char*, Function> byDate[] = {
        {"Enumerate", Enumerate}, {"BandDay", BandDay},     {"BandWeek", BandWeek},
        {"BandGrid", BandGrid},   {"BandMonth", BandMonth}, {"FillList", FillList},
        {"FillDay", FillDay},     {"FillWeek", FillWeek},   {"FillGrid", FillGrid},
        {"DayTip", DayTip}};
    for (const int count : {1000, 10000, 100000}) {
        for (const auto& [name, function] : byDate) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(count)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    Register();
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
