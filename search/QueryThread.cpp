#include "search/QueryThread.h"

#include "search/SearchIndex.h"
#include "search/SearchIndexError.h"

#include <chrono>
#include <memory>

CQueryThread::CQueryThread(std::filesystem::path indexFile, Answer answer)
    : m_file(std::move(indexFile)), m_answer(std::move(answer)), m_thread([this] { Run(); }) {}

CQueryThread::~CQueryThread() {
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CQueryThread::Ask(std::string words, std::size_t limit) {
    {
        const std::lock_guard lock(m_mutex);
        m_request = CRequest{std::move(words), limit};
        m_stop = true;
    }
    m_wake.notify_one();
}

void CQueryThread::Cancel() {
    const std::lock_guard lock(m_mutex);
    m_request.reset();
    m_stop = true;
}

void CQueryThread::Run() {
    std::unique_ptr<CSearchIndex> index;
    for (;;) {
        CRequest request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_request.has_value(); });
            if (m_quit) {
                return;
            }
            request = std::move(*m_request);
            m_request.reset();
            m_stop = false;
        }
        std::optional<std::vector<CSearchHit>> hits;
        try {
            if (!index) {
                index = std::make_unique<CSearchIndex>(m_file, CSearchIndex::ForReading{});
            }
            hits = index->SearchUntil(request.words, request.limit,
                                      std::chrono::steady_clock::time_point::max(), &m_stop);
        } catch (const CSearchIndexError&) {
            // The window's own search of the index meets the damage too and has it made again.
            index.reset();
            hits = std::vector<CSearchHit>{};
        }
        if (hits) {
            m_answer(request.words, request.limit, std::move(*hits));
        }
    }
}
