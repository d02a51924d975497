#include "search/IndexWriter.h"

#include "search/SearchIndex.h"
#include "search/SearchIndexError.h"

#include <pthread.h>

namespace {

// Batches joined into one transaction: FTS5 writes a segment of its own at each commit, and
// fewer, larger segments are cheaper to write and to merge.
constexpr std::size_t maxJoinedUpdates = 4096;

} // namespace

CIndexWriter::CIndexWriter(std::unique_ptr<CSearchIndex> index, int folder, CEvents& events)
    : m_index(std::move(index)), m_folder(folder), m_events(events), m_thread([this] { Run(); }) {}

CIndexWriter::~CIndexWriter() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CIndexWriter::Post(CJob job) {
    {
        const std::lock_guard lock(m_mutex);
        if (job.kind == Kind::batch) {
            m_pendingBatches.fetch_add(1);
        } else if (job.kind == Kind::save) {
            m_pendingSaves.fetch_add(1);
        }
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void CIndexWriter::Save(std::vector<std::pair<std::string, std::string>> meetings) {
    Post(CJob{Kind::save, 0, std::move(meetings), {}, 0, 0});
}

void CIndexWriter::BeginCatchUp(unsigned generation) {
    m_generation.store(generation);
    Post(CJob{Kind::begin, generation, {}, {}, 0, 0});
}

void CIndexWriter::Batch(unsigned generation, std::vector<CMeetingUpdate> updates, std::size_t done,
                         std::size_t total) {
    Post(CJob{Kind::batch, generation, {}, std::move(updates), done, total});
}

void CIndexWriter::EndCatchUp(unsigned generation) {
    Post(CJob{Kind::end, generation, {}, {}, 0, 0});
}

void CIndexWriter::Run() {
    ::pthread_setname_np(::pthread_self(), "index writer");
    CJob job;
    while (Take(job)) {
        Do(job);
    }
}

bool CIndexWriter::Take(CJob& job) {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_quit || !m_jobs.empty(); });
    if (m_quit) {
        return false;
    }
    job = std::move(m_jobs.front());
    m_jobs.pop_front();
    if (job.kind != Kind::batch) {
        return true;
    }
    m_pendingBatches.fetch_sub(1);
    while (!m_jobs.empty() && m_jobs.front().kind == Kind::batch &&
           m_jobs.front().generation == job.generation &&
           job.updates.size() + m_jobs.front().updates.size() <= maxJoinedUpdates) {
        CJob& next = m_jobs.front();
        job.updates.insert(job.updates.end(), std::make_move_iterator(next.updates.begin()),
                           std::make_move_iterator(next.updates.end()));
        job.done = next.done;
        m_jobs.pop_front();
        m_pendingBatches.fetch_sub(1);
    }
    return true;
}

void CIndexWriter::Do(CJob& job) {
    // A job of an earlier catch-up than the one under way is dropped: that catch-up was
    // stopped, and what it read may be older than a save made since.
    const bool current = job.generation == m_generation.load();
    switch (job.kind) {
    case Kind::save:
        WriteSave(job);
        m_pendingSaves.fetch_sub(1);
        break;
    case Kind::begin:
        m_catchingUp = current;
        m_saved.clear();
        break;
    case Kind::batch:
        if (current) {
            WriteBatch(job);
        }
        break;
    case Kind::end:
        if (current) {
            m_catchingUp = false;
            m_saved.clear();
            m_events.CaughtUp(job.generation);
        }
        break;
    }
}

void CIndexWriter::WriteSave(const CJob& job) {
    std::vector<CMeetingUpdate> updates;
    updates.reserve(job.meetings.size());
    for (const auto& [id, meetingFile] : job.meetings) {
        if (m_catchingUp) {
            m_saved.insert(id);
        }
        updates.push_back(ReadMeetingUpdate(m_folder, id, meetingFile));
    }
    try {
        m_index->Apply(updates);
    } catch (const CSearchIndexError& error) {
        m_events.Failed(error);
        return;
    }
    m_events.Saved();
}

void CIndexWriter::WriteBatch(CJob& job) {
    // A meeting the program saved meanwhile was indexed as saved.
    std::erase_if(job.updates, [this](const CMeetingUpdate& update) {
        return m_saved.contains(update.meetingId);
    });
    try {
        m_index->Apply(job.updates);
    } catch (const CSearchIndexError& error) {
        m_events.Failed(error);
        return;
    }
    m_events.Written(job.generation, job.done, job.total);
}
