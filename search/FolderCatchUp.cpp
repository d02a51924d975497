#include "search/FolderCatchUp.h"

#include "search/SearchIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

struct CMeetingFiles {
    std::string meetingFileName; // of two names for one meeting, the later one, as the store
    std::size_t fileCount = 0;
    bool changed = false;
};

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

    std::unordered_map<std::string, CMeetingFiles> meetings;
    for (const CListedFile& file : listed) {
        CMeetingFiles& meeting = meetings[file.meetingId];
        ++meeting.fileCount;
        if (IsMeetingFileName(file.name) && file.name > meeting.meetingFileName) {
            meeting.meetingFileName = file.name;
        }
        const auto known = stamps->find(file.name);
        if (known == stamps->end()) {
            meeting.changed = true;
        } else {
            meeting.changed = meeting.changed || known->second != file.stamp;
            stamps->erase(known);
        }
    }
    // What is left was indexed and is gone now.
    std::vector<std::string> goneFiles;
    for (const auto& [name, stamp] : *stamps) {
        goneFiles.push_back(name);
        if (const std::optional<std::string> id = MeetingIdOfFileName(name)) {
            meetings[*id].changed = true;
        }
    }
    stamps.reset();

    // Newest first by id (ids are made from the clock), so that recent meetings are found early.
    std::vector<std::pair<std::string, CMeetingFiles>> changed;
    std::size_t total = 0;
    for (auto& [id, files] : meetings) {
        if (files.changed) {
            total += std::max<std::size_t>(files.fileCount, 1);
            changed.emplace_back(id, std::move(files));
        }
    }
    meetings.clear();
    std::sort(changed.begin(), changed.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });

    std::size_t done = 0;
    std::vector<CMeetingUpdate> batch;
    for (const auto& [id, files] : changed) {
        if (cancelled) {
            break;
        }
        batch.push_back(ReadMeetingUpdate(fd, id, files.meetingFileName));
        done += std::max<std::size_t>(files.fileCount, 1);
        if (batch.size() >= batchSize) {
            sink.Batch(std::move(batch), std::move(goneFiles), done, total);
            batch.clear();
            goneFiles.clear();
        }
    }
    if (fd >= 0) {
        ::close(fd);
    }
    if (cancelled) {
        return;
    }
    if (!batch.empty() || !goneFiles.empty()) {
        sink.Batch(std::move(batch), std::move(goneFiles), done, total);
    }
    sink.Finished();
}
