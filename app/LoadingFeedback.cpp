#include "app/LoadingFeedback.h"

#include "app/LoadingWindow.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

#include <sys/stat.h>

bool IsLargeFolder(const std::filesystem::path& folder) {
    struct stat info {};
    return !folder.empty() && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           static_cast<std::uintmax_t>(info.st_size) >= loadingWindowAtOnceFolderBytes;
}

bool ShouldShowLoadingWindow(long long elapsedMs, std::size_t loaded, std::size_t total,
                             long long delayMs) {
    return (elapsedMs >= delayMs || total >= loadingWindowAtOnceFiles) && loaded < total;
}

CLoadingFeedback::CLoadingFeedback(Elapsed elapsed, long long delayMs, ProgressText text)
    : m_elapsed(std::move(elapsed)), m_delayMs(delayMs), m_text(text) {
    if (!m_elapsed) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_elapsed = [timer] { return static_cast<long long>(timer->elapsed()); };
    }
}

CLoadingFeedback::~CLoadingFeedback() = default;

void CLoadingFeedback::Open(std::size_t loaded, std::size_t total) {
    m_window = std::make_unique<CLoadingWindow>(nullptr, m_text);
    m_window->SetProgress(loaded, total);
    m_window->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = m_window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        m_window->move(frame.topLeft());
    }
    m_window->show();
}

void CLoadingFeedback::ShowAtOnce() {
    if (!m_window) {
        Open(0, 0);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CLoadingFeedback::Report(std::size_t loaded, std::size_t total) {
    if (!m_window) {
        if (!ShouldShowLoadingWindow(m_elapsed(), loaded, total, m_delayMs)) {
            return;
        }
        Open(loaded, total);
    } else {
        m_window->SetProgress(loaded, total);
    }
    // No event loop runs while the store loads or imports: let the window map and paint, but
    // leave the user's input for later (nothing may act on the store meanwhile).
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void LoadMeetingsShowingProgress(CMeetingStore& store) {
    CLoadingFeedback feedback;
    if (IsLargeFolder(GetWorkingDirectory())) {
        feedback.ShowAtOnce();
    }
    store.LoadAll(
        [&feedback](std::size_t loaded, std::size_t total) { feedback.Report(loaded, total); });
}
