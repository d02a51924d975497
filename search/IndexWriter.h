#pragma once

#include "search/MeetingDocument.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

class CSearchIndex;
class CSearchIndexError;

// Writes the index on a thread of its own, with the one connection that writes it (SQLite
// allows one writer): a catch-up's batches and the program's saves, in the order they came.
// A save made while a catch-up runs wins over what that catch-up read of the meeting before.
class CIndexWriter {
public:
    // What the writer tells, on its own thread.
    class CEvents {
    public:
        virtual ~CEvents() = default;
        // A batch of the catch-up `generation` is written: `done` of `total` files.
        virtual void Written(unsigned generation, std::size_t done, std::size_t total) = 0;
        // The catch-up `generation` is written whole.
        virtual void CaughtUp(unsigned generation) = 0;
        // The meetings of a save are indexed as their files now are.
        virtual void Saved() = 0;
        // A write failed; what it held is not in the index.
        virtual void Failed(const CSearchIndexError& error) = 0;
    };

    // Writes `index`; reads a save's files from the folder open as `folder`.
    CIndexWriter(std::unique_ptr<CSearchIndex> index, int folder, CEvents& events);
    // Stops after the write under way; what is still queued is dropped (a later catch-up
    // finds it by its file stamps).
    ~CIndexWriter();
    CIndexWriter(const CIndexWriter&) = delete;
    CIndexWriter& operator=(const CIndexWriter&) = delete;

    // Meetings (id, meeting file name or empty) the program wrote or removed: read and indexed
    // as they are when their turn comes.
    void Save(std::vector<std::pair<std::string, std::string>> meetings);
    // The catch-up `generation` begins; batches of any earlier one are dropped from now on.
    void BeginCatchUp(unsigned generation);
    void Batch(unsigned generation, std::vector<CMeetingUpdate> updates, std::size_t done,
               std::size_t total);
    void EndCatchUp(unsigned generation);
    // Batches queued and not yet written.
    int PendingBatches() const { return m_pendingBatches.load(); }
    // Saves queued and not yet written (or failed), their news told.
    int PendingSaves() const { return m_pendingSaves.load(); }

private:
    enum class Kind { save, begin, batch, end };
    struct CJob {
        Kind kind;
        unsigned generation = 0;
        std::vector<std::pair<std::string, std::string>> meetings;
        std::vector<CMeetingUpdate> updates;
        std::size_t done = 0;
        std::size_t total = 0;
    };

    void Post(CJob job);
    void Run();
    // The next job, with the batches queued right behind a batch joined to it: one
    // transaction for them all.
    bool Take(CJob& job);
    void Do(CJob& job);
    void WriteSave(const CJob& job);
    void WriteBatch(CJob& job);

    std::unique_ptr<CSearchIndex> m_index;
    int m_folder;
    CEvents& m_events;
    std::atomic<unsigned> m_generation{0};
    std::atomic<int> m_pendingBatches{0};
    std::atomic<int> m_pendingSaves{0};
    // Of the catch-up under way: meetings saved since it began.
    bool m_catchingUp = false;
    std::unordered_set<std::string> m_saved;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<CJob> m_jobs;
    bool m_quit = false;
    std::thread m_thread;
};
