#pragma once

#include "app/LoadingText.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>

class CLoadingWindow;
class CMeetingStore;
class QWidget;

// How long loading may take before the loading window appears: a quick load shows nothing.
constexpr long long loadingWindowDelayMs = 500;

// Whether the loading window should be on screen after `elapsedMs` of loading: only once
// loading has taken longer than the delay, and only while files are still left to read.
bool ShouldShowLoadingWindow(long long elapsedMs, std::size_t loaded, std::size_t total,
                             long long delayMs = loadingWindowDelayMs);

// The store's load progress turned into the loading window, on the one UI thread: each report
// checks the time taken so far, opens the window once loading is slow, and lets it paint. An
// import shows the same window with its own words.
class CLoadingFeedback {
public:
    // Milliseconds since loading started; a steady clock unless a test gives its own.
    using Elapsed = std::function<long long()>;

    explicit CLoadingFeedback(Elapsed elapsed = {}, long long delayMs = loadingWindowDelayMs,
                              ProgressText text = LoadingText);
    ~CLoadingFeedback();
    CLoadingFeedback(const CLoadingFeedback&) = delete;
    CLoadingFeedback& operator=(const CLoadingFeedback&) = delete;

    void Report(std::size_t loaded, std::size_t total);
    // The window, once it has appeared (it stays until this object goes).
    const CLoadingWindow* GetWindow() const { return m_window.get(); }

private:
    Elapsed m_elapsed;
    long long m_delayMs;
    ProgressText m_text;
    std::unique_ptr<CLoadingWindow> m_window;
};

// Loads every meeting of the working directory into `store`, showing the loading window if
// that takes long.
void LoadMeetingsShowingProgress(CMeetingStore& store);
