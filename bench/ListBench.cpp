// What one step to another month costs in the meeting list: the list's own fill for the new
// month and a paint of the rows a screen shows, beside one bare walk over the same store in
// the same run. At 100,000 meetings a month holds about 8,000 of them. The ratio printed at
// the end is the figure to quote; the machines are noisy.

#include "app/DateToolBar.h"
#include "app/LeftListView.h"
#include "app/MainFrame.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "calendar/DayListCtrl.h"
#include "calendar/MeetingListCtrl.h"
#include "calendar/MonthListCtrl.h"
#include "calendar/WeekListCtrl.h"
#include "store/MeetingFile.h"
#include "store/MeetingListFill.h"
#include "store/MeetingStore.h"
#include "store/MonthGridFill.h"
#include "store/WorkingDirectory.h"
#include "tests/support/NoMeetingCommands.h"
#include "ui/MeetingCommands.h"

#include "ui/SystemServices.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The store and the desktop services the benchmarks' lists and frame work on.
CMeetingStore& BenchStore() {
    static CMeetingStore store;
    return store;
}

CDesktopServices& BenchServices() {
    static CSystemServices services;
    return services;
}

// The meetings spread evenly over 12.5 months from January 2026, so that each month holds
// about 8 % of them whatever their number.
const CDateTime firstMeeting(2026, 1, 1, 0, 0, 0);
constexpr long long spreadSeconds = 380LL * 86400;
constexpr int stepsPerRound = 12;

class CMeetingFolders {
public:
    ~CMeetingFolders() {
        std::error_code error;
        for (const auto& [count, path] : m_paths) {
            fs::remove_all(path, error);
        }
    }

    // Loads the program's store with `count` meetings (written once per size, with plain
    // writes: the store's own writes flush each file to disk).
    void Load(int count) {
        if (count == m_loaded) {
            return;
        }
        auto found = m_paths.find(count);
        if (found == m_paths.end()) {
            found = m_paths.emplace(count, Make(count)).first;
        }
        SetWorkingDirectory(found->second);
        BenchStore().LoadAll();
        m_loaded = count;
    }

private:
    static fs::path Make(int count) {
        std::string pattern = (fs::temp_directory_path() / "tavelin-list-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        for (int i = 0; i < count; ++i) {
            CMeeting record(firstMeeting.AddSeconds(spreadSeconds * i / count));
            record.id = MakeMeetingIdAt(firstMeeting.AddSeconds(i));
            record.title = "Meeting number " + std::to_string(i) + " of the planning committee";
            record.venue = "Room " + std::to_string(i % 40) + ", main building";
            record.icon = i % 72;
            const std::string bytes = EncodeMeeting(record);
            const fs::path file = fs::path(pattern) / ("meeting" + record.id + ".mtg");
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 ||
                ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
                throw std::runtime_error("cannot write " + file.string());
            }
            ::close(fd);
        }
        return pattern;
    }

    std::map<int, fs::path> m_paths;
    int m_loaded = -1;
};

CMeetingFolders& Folders() {
    static CMeetingFolders folders;
    return folders;
}

// The middle of the i-th month after the first meeting's.
CDateTime MonthOfStep(int step) {
    const int month = step % stepsPerRound;
    return CDateTime(2026, month + 1, 15, 12, 0, 0);
}

void Enumerate(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        long long sum = 0;
        for (const CMeetingMap::Entry& entry : BenchStore()) {
            sum += entry.value.icon + static_cast<long long>(entry.value.date.GetDayCount());
        }
        benchmark::DoNotOptimize(sum);
    }
}

// The store-side fill alone, for reference.
void FillRows(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    int step = 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = FillMeetingList(BenchStore(), MonthOfStep(step++)).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// One key that moves the calendar a month on: the list refills and the screen's rows paint.
void MonthStep(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    CNoMeetingCommands commands;
    CMeetingListCtrl list(BenchStore(), BenchServices(), commands);
    list.resize(1100, 1000); // the calendar's pane on a 1920 x 1080 screen
    QImage screen(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        list.Fill(MonthOfStep(step++));
        list.viewport()->render(&screen);
    }
    state.counters["rows"] = list.GetRowCount();
}

// One step to another day in the day list: the fill for the new day and a paint of the screen.
void DayStep(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    CNoMeetingCommands commands;
    CDayListCtrl list(BenchStore(), BenchServices(), commands);
    list.resize(1100, 1000);
    QImage screen(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        list.Fill(firstMeeting.AddSeconds(86400LL * (step++ % 365) + 43200));
        list.viewport()->render(&screen);
    }
}

// The same step as the user makes it: an arrow key on the month of the toolbar's date
// picker in the running main window, which refills the meeting list through the frame and
// the calendar page, then a paint of the list.
void MonthKey(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    CMainFrame frame(BenchStore(), BenchServices());
    frame.resize(1920, 1080);
    CCalendarPage& page = frame.GetCalendarPage();
    page.ShowMode(CCalendarPage::agendaMode);
    CToolbarDateCtrl& picker = *frame.GetToolBar().GetDatePicker();
    picker.SetDateTime(MonthOfStep(0));
    picker.setCurrentSection(QDateTimeEdit::MonthSection);
    QWidget& list = *page.GetList(CCalendarPage::agendaMode);
    QImage screen(list.size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        // Eleven months on, eleven back, and so on: every key lands on another month.
        const bool forward = step++ / (stepsPerRound - 1) % 2 == 0;
        QKeyEvent press(QEvent::KeyPress, forward ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(&picker, &press);
        list.render(&screen);
    }
    state.counters["rows"] = static_cast<double>(page.GetMeetingList().GetRowCount());
}

// Switching to the meeting list from the month grid in the shown main window, as a click on
// the left pane asks it: the list's fill for the shown month and its paint. The way back to
// the grid is not timed.
void ListSwitch(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    CMainFrame frame(BenchStore(), BenchServices());
    frame.resize(1920, 1080);
    frame.show();
    CCalendarPage& page = frame.GetCalendarPage();
    CLeftListView& pane = *frame.findChild<CLeftListView*>();
    QWidget& list = *page.GetList(CCalendarPage::agendaMode);
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        page.GoToDate(MonthOfStep(step++));
        emit pane.modeRequested(CCalendarPage::monthMode);
        QApplication::processEvents();
        state.ResumeTiming();
        emit pane.modeRequested(CCalendarPage::agendaMode);
        list.repaint();
    }
    state.counters["rows"] = static_cast<double>(page.GetMeetingList().GetRowCount());
}

// What Ctrl+Page Down does on the month grid of the running main window: the frame steps the
// calendar a month on, the grid refills, then paints.
void GridKey(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    CMainFrame frame(BenchStore(), BenchServices());
    frame.resize(1920, 1080);
    CCalendarPage& page = frame.GetCalendarPage();
    page.GoToDate(MonthOfStep(0));
    page.ShowMode(CCalendarPage::monthMode);
    QAction* next = frame.findChild<QAction*>("nextPeriodAction");
    QAction* previous = frame.findChild<QAction*>("previousPeriodAction");
    QWidget& grid = *page.GetList(CCalendarPage::monthMode);
    QImage screen(grid.size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        const bool forward = step++ / (stepsPerRound - 1) % 2 == 0;
        (forward ? next : previous)->trigger();
        grid.render(&screen);
    }
}

// The tooltip's text of every day of one month's grid, as a mouse crossing each cell asks.
void DayTips(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    int step = 0;
    std::size_t length = 0;
    for (auto _ : state) {
        const CMonthGrid grid = FillMonthGrid(BenchStore(), MonthOfStep(step++));
        for (int cell = 0; cell < CMonthGrid::cellCount; ++cell) {
            length += DayTipText(BenchStore(), grid.CellDate(cell)).size();
        }
        benchmark::DoNotOptimize(length);
    }
}

// One week on: the week list refills and paints its cells.
void WeekStep(benchmark::State& state) {
    Folders().Load(static_cast<int>(state.range(0)));
    CNoMeetingCommands commands;
    CWeekListCtrl list(BenchStore(), BenchServices(), commands);
    list.resize(1100, 1000);
    QImage screen(list.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        list.Fill(firstMeeting.AddSeconds((step++ % 52) * 7 * 86400LL));
        list.viewport()->render(&screen);
    }
    state.counters["meetings"] = static_cast<double>(list.GetWeek().meetings.size());
}

void PrintRatios(const CMedianReporter& medians) {
    std::printf("\nMedians in this run, processor time (wall-clock in brackets):\n");
    for (const char* size : {"1000", "10000", "100000"}) {
        const CMedianReporter::Times* step = medians.Find(std::string("MonthStep/") + size);
        const CMedianReporter::Times* walk = medians.Find(std::string("Enumerate/") + size);
        if (step == nullptr || walk == nullptr || walk->cpu <= 0) {
            continue;
        }
        std::printf("  month step at %6s: %7.2f ms (%7.2f), enumeration %6.2f ms, "
                    "step / enumeration %5.2f (%5.2f)\n",
                    size, step->cpu, step->wall, walk->cpu, step->cpu / walk->cpu,
                    step->wall / walk->wall);
        if (const CMedianReporter::Times* week = medians.Find(std::string("WeekStep/") + size)) {
            std::printf("  week step  at %6s: %7.2f ms (%7.2f), "
                        "week / enumeration %5.2f (%5.2f)\n",
                        size, week->cpu, week->wall, week->cpu / walk->cpu,
                        week->wall / walk->wall);
        }
        if (const CMedianReporter::Times* to = medians.Find(std::string("ListSwitch/") + size)) {
            std::printf("  switch to the list at %6s: %7.2f ms (%7.2f)  [<= 16 ms at 100,000]\n",
                        size, to->cpu, to->wall);
        }
        if (const CMedianReporter::Times* key = medians.Find(std::string("MonthKey/") + size)) {
            std::printf("  month key  at %6s: %7.2f ms (%7.2f), "
                        "key / enumeration %5.2f (%5.2f)\n",
                        size, key->cpu, key->wall, key->cpu / walk->cpu, key->wall / walk->wall);
        }
    }
    for (const char* size : {"1000", "10000", "100000"}) {
        const CMedianReporter::Times* day = medians.Find(std::string("DayStep/") + size);
        const CMedianReporter::Times* walk = medians.Find(std::string("Enumerate/") + size);
        if (day != nullptr && walk != nullptr && walk->cpu > 0) {
            std::printf("  day step   at %6s: %7.2f ms (%7.2f), day / enumeration %5.2f\n", size,
                        day->cpu, day->wall, day->cpu / walk->cpu);
        }
    }
    std::printf("  target: a month step at 100,000 within 16 ms of processor time\n");
}

void Register() {
    // Grouped by size so that each store is loaded once; the walk and the step alternate.
    for (const int count : {1000, 10000, 100000}) {
        for (const auto& [name, function] :
             {std::pair{"Enumerate", &Enumerate}, std::pair{"MonthStep", &MonthStep},
              std::pair{"FillRows", &FillRows}, std::pair{"MonthKey", &MonthKey},
              std::pair{"ListSwitch", &ListSwitch}, std::pair{"GridKey", &GridKey},
              std::pair{"DayTips", &DayTips}, std::pair{"WeekStep", &WeekStep},
              std::pair{"DayStep", &DayStep}}) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(count)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true)
                ->Unit(benchmark::kMillisecond);
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
    Register();
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter);
    benchmark::Shutdown();
    return 0;
}
