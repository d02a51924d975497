#pragma once

#include "search/SearchHit.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Runs the searches too slow for the window's thread on a thread of its own, with a connection
// of its own: a search asked for stops the one under way, whose answer is never given.
class CQueryThread {
public:
    // Called on the query thread with a search's answer.
    using Answer =
        std::function<void(const std::string& words, std::size_t limit, std::vector<CSearchHit>)>;

    CQueryThread(std::filesystem::path indexFile, Answer answer);
    ~CQueryThread();
    CQueryThread(const CQueryThread&) = delete;
    CQueryThread& operator=(const CQueryThread&) = delete;

    void Ask(std::string words, std::size_t limit);
    // Stops the search under way or asked for, if any.
    void Cancel();

private:
    struct CRequest {
        std::string words;
        std::size_t limit = 0;
    };
    void Run();

    std::filesystem::path m_file;
    Answer m_answer;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<CRequest> m_request;
    bool m_quit = false;
    std::thread m_thread;
};
