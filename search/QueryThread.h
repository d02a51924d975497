#pragma once

#include "search/SearchHit.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Runs the searches on a thread of its own, with a connection of its own, so that none holds
// the window's thread longer than its caller allows: a search asked for stops the one under
// way, whose answer is never given. FTS5 merges the lists of every word a short prefix
// matches before its first row, inside one step no progress handler interrupts; only waiting
// elsewhere bounds that.
class CQueryThread {
public:
    struct CResult {
        std::vector<CSearchHit> hits;
        bool damaged = false; // the index failed to answer: it is no sound index
    };
    // Called on the query thread with the answer of a search not waited for.
    using Answer = std::function<void(const std::string& words, std::size_t limit, CResult)>;

    CQueryThread(std::filesystem::path indexFile, Answer answer);
    ~CQueryThread();
    CQueryThread(const CQueryThread&) = delete;
    CQueryThread& operator=(const CQueryThread&) = delete;

    // Asks for a search and waits up to `budget` for it: its answer, or nothing when it takes
    // longer, the answer then coming through Answer.
    std::optional<CResult> Search(std::string words, std::size_t limit,
                                  std::chrono::milliseconds budget);
    void Ask(std::string words, std::size_t limit) { Search(std::move(words), limit, {}); }

private:
    struct CRequest {
        std::string words;
        std::size_t limit = 0;
        unsigned number = 0;
    };
    void Run();

    std::filesystem::path m_file;
    Answer m_answer;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::optional<CRequest> m_request;
    unsigned m_asked = 0;   // the number of the last search asked for
    unsigned m_waiting = 0; // the search a caller waits for, if any
    std::optional<CResult> m_given;
    bool m_quit = false;
    std::thread m_thread;
};
