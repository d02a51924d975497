// Times iCalendar export and import against LoadAll of the same folder in the same run:
// exporting every meeting (with the content files it has) to one file, and importing that
// file into an empty folder, where every meeting is a file write. The ratios printed at the
// end are the figures to quote, not the times.

#include "share/CalendarExport.h"
#include "share/CalendarImport.h"
#include "store/ContentFiles.h"
#include "store/FileCalls.h"
#include "store/MeetingFile.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"

#include "bench/BenchFolder.h"
#include "bench/MedianReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using BenchFolder::WritePlain;

// A folder of `count` meetings, made once per size with plain writes (the store's own writes
// flush every file to disk). Every tenth meeting has an agenda, attendees and todos, so that
// the export reads content files as a real folder makes it.
class CFolders {
public:
    ~CFolders() {
        std::error_code error;
        for (const auto& [count, folder] : m_folders) {
            fs::remove_all(folder, error);
        }
    }

    const fs::path& Get(int count) {
        auto found = m_folders.find(count);
        if (found == m_folders.end()) {
            found = m_folders.emplace(count, Make(count)).first;
        }
        return found->second;
    }

private:
    static fs::path Make(int count) {
        const fs::path folder = BenchFolder::MakeTemporaryFolder("tavelin-bench");
        const CDateTime start(2004, 3, 5, 9, 0, 0);
        for (int i = 0; i < count; ++i) {
            CMeeting record(start.AddSeconds(i * 3600LL));
            record.id = MakeMeetingIdAt(start.AddSeconds(i));
            record.reference = "REF-" + std::to_string(i);
            record.title = "Meeting number " + std::to_string(i);
            record.venue = "Room " + std::to_string(i % 40);
            record.presidedBy = "Chair person";
            record.notes = "Line one of the notes\r\nLine two of the notes";
            record.icon = i % 72;
            const auto name = [&](const char* prefix, const char* extension) {
                return folder / (prefix + record.id + extension);
            };
            WritePlain(name("meeting", ".mtg"), EncodeMeeting(record));
            if (i % 10 == 0) {
                const fs::path saved = GetWorkingDirectory();
                SetWorkingDirectory(folder);
                WritePlain(ContentFilePath(ContentKind::agenda, record.id),
                           EncodeAgenda({{record.date, "Opening"}, {record.date, "Budget"}}));
                WritePlain(ContentFilePath(ContentKind::attendees, record.id),
                           EncodeStringList({"Ann Lee", "Bob Ray", "Carol Dunn"}));
                WritePlain(ContentFilePath(ContentKind::todos, record.id),
                           EncodeTodos({{"Send the minutes", 2, 0}}));
                SetWorkingDirectory(saved);
            }
        }
        return folder;
    }

    std::map<int, fs::path> m_folders;
};

CFolders& Folders() {
    static CFolders folders;
    return folders;
}

std::vector<std::string> AllIds(const CMeetingStore& store) {
    std::vector<std::string> ids;
    ids.reserve(store.GetCount());
    for (const CMeetingMap::Entry& entry : store) {
        ids.push_back(entry.Key());
    }
    return ids;
}

void LoadAll(benchmark::State& state) {
    SetWorkingDirectory(Folders().Get(static_cast<int>(state.range(0))));
    CMeetingStore store;
    for (auto _ : state) {
        store.LoadAll();
    }
    if (store.GetCount() != static_cast<std::size_t>(state.range(0))) {
        state.SkipWithError("LoadAll lost meetings");
    }
}

// The export of every meeting of a loaded store, as the File menu's "all meetings" does it.
void Export(benchmark::State& state) {
    const fs::path& folder = Folders().Get(static_cast<int>(state.range(0)));
    SetWorkingDirectory(folder);
    CMeetingStore store;
    store.LoadAll();
    const std::vector<std::string> ids = AllIds(store);
    const fs::path file = fs::temp_directory_path() / "tavelin-bench-export.ics";
    for (auto _ : state) {
        ExportCalendar(store, ids, file);
    }
    state.counters["file_bytes"] = static_cast<double>(fs::file_size(file));
    fs::remove(file);
}

std::string ExportedText(int count) {
    SetWorkingDirectory(Folders().Get(count));
    CMeetingStore store;
    store.LoadAll();
    std::vector<CCalendarMeeting> meetings;
    for (const std::string& id : AllIds(store)) {
        meetings.push_back({store.GetMeeting(id), ReadMeetingContent(id)});
    }
    return BuildCalendar(meetings);
}

// Flushing files to disk costs what the disk costs: this shows the import's own work apart.
class CNoFlushCalls : public CFileCalls {
public:
    int Fsync(int) override { return 0; }
    int SyncFilesystem(int) override { return 0; }
};

// The batch's one flush of the file system against flushing each file as the single save
// does: every temporary file flushed as it is closed, and no syncfs.
class CFsyncEachCalls : public CFileCalls {
public:
    int Close(int fd) override {
        ::fsync(fd);
        return CFileCalls::Close(fd);
    }
    int SyncFilesystem(int) override { return 0; }
};

// Reading the exported file and storing every meeting in an empty folder.
void Import(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string text = ExportedText(count);
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path folder = BenchFolder::MakeTemporaryFolder("tavelin-bench");
        SetWorkingDirectory(folder);
        CMeetingStore store;
        state.ResumeTiming();
        const std::size_t stored = StoreImportedMeetings(store, ParseCalendar(text).meetings);
        state.PauseTiming();
        if (stored != static_cast<std::size_t>(count)) {
            state.SkipWithError("the import lost meetings");
        }
        fs::remove_all(folder);
        state.ResumeTiming();
    }
}

void ImportNoFlush(benchmark::State& state) {
    CNoFlushCalls calls;
    SetFileCalls(&calls);
    Import(state);
    SetFileCalls(nullptr);
}

void ImportFsyncEach(benchmark::State& state) {
    CFsyncEachCalls calls;
    SetFileCalls(&calls);
    Import(state);
    SetFileCalls(nullptr);
}

// Only reading the file: what libical and the mapping cost without the writes.
void Parse(benchmark::State& state) {
    const std::string text = ExportedText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseCalendar(text).meetings.size());
    }
}

void Ratio(const CMedianReporter& medians, const std::string& top, const std::string& bottom,
           const char* target) {
    const CMedianReporter::Times* a = medians.Find(top);
    const CMedianReporter::Times* b = medians.Find(bottom);
    if (a != nullptr && b != nullptr && b->wall > 0 && b->cpu > 0) {
        std::printf("  %-36s wall %7.2f  cpu %7.2f  [%s]\n", (top + " / " + bottom + ":").c_str(),
                    a->wall / b->wall, a->cpu / b->cpu, target);
    }
}

int Sizes(int index) {
    static const int sizes[] = {1000, 10000, 100000};
    return sizes[index];
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    using Function = void (*)(benchmark::State&);
    const std::pair<const char*, Function> steps[] = {
        {"LoadAll", LoadAll}, {"Export", Export},
        {"Parse", Parse},     {"ImportNoFlush", ImportNoFlush},
        {"Import", Import},   {"ImportFsyncEach", ImportFsyncEach}};
    // Size by size, LoadAll beside the rest, so that all see the same machine state. The
    // imports take seconds to a minute each (creating the files is most of it), so they run
    // twice at 10,000 and 100,000; flushing every file on its own, for comparison, takes about
    // a minute at 10,000 and so does not run at 100,000.
    for (int i = 0; i < 3; ++i) {
        const int size = Sizes(i);
        for (const auto& [name, function] : steps) {
            const bool eachFile = function == ImportFsyncEach;
            if (eachFile && size == 100000) {
                continue;
            }
            const bool importing = function == Import || function == ImportNoFlush || eachFile;
            const int repetitions = importing && size >= 10000 ? 2 : size == 100000 ? 3 : 5;
            benchmark::RegisterBenchmark(name, function)
                ->Arg(size)
                ->Iterations(1)
                ->Repetitions(repetitions)
                ->ReportAggregatesOnly(true)
                ->Unit(benchmark::kMillisecond);
        }
    }
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios of medians in this run, wall-clock and processor time "
                "(targets in brackets):\n");
    for (int i = 0; i < 3; ++i) {
        const std::string size = std::to_string(Sizes(i));
        const bool goal = Sizes(i) == 100000;
        Ratio(reporter, "Export/" + size, "LoadAll/" + size, goal ? "<= 3" : "for reference");
        Ratio(reporter, "Import/" + size, "LoadAll/" + size, goal ? "<= 5" : "for reference");
        Ratio(reporter, "ImportNoFlush/" + size, "LoadAll/" + size, "for reference");
        Ratio(reporter, "ImportFsyncEach/" + size, "LoadAll/" + size, "for reference");
        Ratio(reporter, "Parse/" + size, "LoadAll/" + size, "for reference");
    }
    benchmark::Shutdown();
    return 0;
}
