#include "search/QueryThread.h"

#include "search/SearchIndex.h"
#include "search/SearchIndexError.h"

#include <pthread.h>

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

std::optional<CQueryThread::CResult> CQueryThread::Search(std::string words, std::size_t limit,
                                                          std::chrono::milliseconds budget) {
    std::unique_lock lock(m_mutex);
    m_request = CRequest{std::move(words), limit, ++m_asked};
    m_stop = true;
    m_given.reset();
    m_wake.notify_one();
    if (budget <= std::chrono::milliseconds::zero()) {
        // Not waited for: even an answer ready at once goes through Answer.
        return std::nullopt;
    }
    m_waiting = m_asked;
    const bool answered = m_done.wait_for(lock, budget, [this] { return m_given.has_value(); });
    m_waiting = 0;
    std::optional<CResult> result;
    if (answered) {
        result.swap(m_given);
    }
    return result;
}

void CQueryThread::Run() {
    ::pthread_setname_np(::pthread_self(), "index query");
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
        CResult result;
        try {
            if (!index) {
                index = std::make_unique<CSearchIndex>(m_file, CSearchIndex::ForReading{});
            }
            hits = index->SearchUnlessStopped(request.words, request.limit, m_stop);
            if (!hits) {
                continue; // stopped for a newer search
            }
            result.hits = std::move(*hits);
        } catch (const CSearchIndexError& error) {
            index.reset();
            result.damaged = error.IsDamage();
        }
        {
            const std::lock_guard lock(m_mutex);
            if (m_waiting == request.number) {
                m_given = std::move(result);
                m_done.notify_all();
                continue;
            }
        }
        m_answer(request.words, request.limit, std::move(result));
    }
}
