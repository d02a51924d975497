#pragma once

#include "app/LoadingText.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class CLoadingWindow;
class CMeetingStore;
class QWidget;

// How long loading may take before the loading window appears: a quick load shows nothing.
constexpr long long loadingWindowDelayMs = 500;
// So many files take longer than the delay to read even from the disk cache: the window
// appears as soon as the folder has been listed, before the first file is read.
constexpr std::size_t loadingWindowAtOnceFiles = 50'000;

// A folder whose own listing takes this many bytes holds some 150,000 names or more (ext4
// gives about 50 bytes a name, btrfs more, tmpfs 20): listing it alone takes seconds from a
// cold disk, so the loading window appears before the listing.
constexpr std::uintmax_t loadingWindowAtOnceFolderBytes = std::uintmax_t{8} << 20;
// Whether `folder` is that large, by the size the system gives the folder itself: one call,
// where counting its names would be the listing itself.
bool IsLargeFolder(const std::filesystem::path& folder);

// Whether the loading window should be on screen after `elapsedMs` of loading: once loading
// has taken longer than the delay, or at once for a folder of many files, and only while
// files are still left to read.
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
    // Opens the window now, before the total is known ("Loading meetings...").
    void ShowAtOnce();
    // The window, once it has appeared (it stays until this object goes).
    const CLoadingWindow* GetWindow() const { return m_window.get(); }

private:
    void Open(std::size_t loaded, std::size_t total);

    Elapsed m_elapsed;
    long long m_delayMs;
    ProgressText m_text;
    std::unique_ptr<CLoadingWindow> m_window;
};

// Loads every meeting of the working directory into `store`, showing the loading window if
// that takes long.
void LoadMeetingsShowingProgress(CMeetingStore& store);
