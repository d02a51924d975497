#pragma once

#include "search/MeetingDocument.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

// Where a catch-up hands what it found. Called on the thread that catches up.
class CCatchUpSink {
public:
    virtual ~CCatchUpSink() = default;
    // Meetings with a changed, added or removed file, read afresh. `done` of `total` files read
    // so far.
    virtual void Batch(std::vector<CMeetingUpdate> updates, std::size_t done,
                       std::size_t total) = 0;
    // The index file is no sound index: nothing was compared.
    virtual void Damaged() = 0;
    // Every change was handed on (not called when cancelled).
    virtual void Finished() = 0;
};

// Compares the meeting and content files of `folder` (name, size, modification time) with the
// stamps the index in `indexFile` holds, and reads only the meetings with a changed, added or
// removed file. `quickCheck` runs SQLite's quick check on the index first. Only reads: the
// index itself is written by whoever receives the batches. Stops soon once `cancelled`.
void CatchUpWithFolder(const std::filesystem::path& folder, const std::filesystem::path& indexFile,
                       bool quickCheck, const std::atomic<bool>& cancelled, CCatchUpSink& sink,
                       std::size_t batchSize = 256);
