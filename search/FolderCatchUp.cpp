#include "search/FolderCatchUp.h"

#include "search/SearchIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

struct CMeetingFiles {
    std::string meetingFileName; // of two names for one meeting, the later one, as the store
    std::size_t fileCount = 0;
};

using ChangedMeetings = std::vector<std::pair<std::string, CMeetingFiles>>;

// Which meetings changed: one of their files is new, has another stamp, or is gone. Most
// files are unchanged, so this pass only looks them up; a stamp seen is marked with a size
// no file has. A meeting with a file gone is read again, which forgets that file's stamp.
std::unordered_set<std::string>
ChangedMeetingIds(const std::vector<CListedFile>& listed,
                  std::unordered_map<std::string, CFileStamp>& stamps) {
    constexpr std::int64_t seen = -1;
    std::unordered_set<std::string> changedIds;
    std::size_t matched = 0;
    for (const CListedFile& file : listed) {
        const auto known = stamps.find(file.name);
        if (known == stamps.end()) {
            changedIds.insert(file.meetingId);
            continue;
        }
        if (known->second.size != seen) {
            ++matched;
        }
        if (known->second != file.stamp) {
            changedIds.insert(file.meetingId);
        }
        known->second.size = seen;
    }
    // What was indexed and is not listed any more is gone.
    if (matched < stamps.size()) {
        for (const auto& [name, stamp] : stamps) {
            if (stamp.size == seen) {
                continue;
            }
            if (const std::optional<std::string> id = MeetingIdOfFileName(name)) {
                changedIds.insert(*id);
            }
        }
    }
    return changedIds;
}

// The changed meetings with their listed files, newest first by id (ids are made from the
// clock), so that recent meetings are found early. `total` becomes the files to read.
ChangedMeetings FilesOfChangedMeetings(std::unordered_set<std::string> changedIds,
                                       const std::vector<CListedFile>& listed, std::size_t& total) {
    std::unordered_map<std::string, CMeetingFiles> meetings;
    for (const std::string& id : changedIds) {
        meetings[id];
    }
    changedIds.clear();
    for (const CListedFile& file : listed) {
        const auto meeting = meetings.find(file.meetingId);
        if (meeting == meetings.end()) {
            continue;
        }
        ++meeting->second.fileCount;
        if (IsMeetingFileName(file.name) && file.name > meeting->second.meetingFileName) {
            meeting->second.meetingFileName = file.name;
        }
    }

    ChangedMeetings changed;
    for (auto& [id, files] : meetings) {
        total += std::max<std::size_t>(files.fileCount, 1);
        changed.emplace_back(id, std::move(files));
    }
    meetings.clear();
    std::sort(changed.begin(), changed.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    return changed;
}

// Reads the changed meetings and hands them to the sink a batch at a time; the last batch is
// left in `batch`. Returns the files read.
std::size_t SendChangedMeetings(int fd, const ChangedMeetings& changed, std::size_t total,
                                const std::atomic<bool>& cancelled, CCatchUpSink& sink,
                                std::size_t batchSize, std::vector<CMeetingUpdate>& batch) {
    std::size_t done = 0;
    for (const auto& [id, files] : changed) {
        if (cancelled) {
            break;
        }
        batch.push_back(ReadMeetingUpdate(fd, id, files.meetingFileName));
        done += std::max<std::size_t>(files.fileCount, 1);
        if (batch.size() >= batchSize) {
            sink.Batch(std::move(batch), done, total);
            batch.clear();
        }
    }
    return done;
}

} // namespace

void CatchUpWithFolder(const std::filesystem::path& folder, const std::filesystem::path& indexFile,
                       bool quickCheck, const std::atomic<bool>& cancelled, CCatchUpSink& sink,
                       std::size_t batchSize) {
    std::optional<std::unordered_map<std::string, CFileStamp>> stamps =
        CSearchIndex::ReadFileStamps(indexFile, quickCheck);
    if (!stamps) {
        sink.Damaged();
        return;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<CListedFile> listed;
    if (fd >= 0) {
        listed = ListMeetingFiles(fd, cancelled);
    }
    if (cancelled) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }

    std::unordered_set<std::string> changedIds = ChangedMeetingIds(listed, *stamps);
    stamps.reset();
    std::size_t total = 0;
    const ChangedMeetings changed = FilesOfChangedMeetings(std::move(changedIds), listed, total);
    listed.clear();

    std::vector<CMeetingUpdate> batch;
    const std::size_t done =
        SendChangedMeetings(fd, changed, total, cancelled, sink, batchSize, batch);
    if (fd >= 0) {
        ::close(fd);
    }
    if (cancelled) {
        return;
    }
    if (!batch.empty()) {
        sink.Batch(std::move(batch), done, total);
    }
    sink.Finished();
}
