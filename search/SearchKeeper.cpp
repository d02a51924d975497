#include "search/SearchKeeper.h"

#include "search/FolderCatchUp.h"
#include "search/IndexLocation.h"
#include "search/SearchIndex.h"
#include "search/SearchIndexError.h"
#include "store/FileListener.h"

#include <QMetaObject>
#include <QTimer>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>
#include <unordered_set>

namespace {

// Batches handed to the window's thread and not yet written: the reader waits beyond this, so
// that a first build of a big folder never piles the whole folder up in memory.
constexpr int maxPendingBatches = 4;
// How far below the window's thread the catch-up runs.
constexpr int catchUpNiceness = 10;

} // namespace

struct CSearchKeeper::CState {
    std::filesystem::path folder;
    std::filesystem::path canonicalFolder;
    int folderFd = -1;
    std::unique_ptr<CSearchIndex> index;
    std::unique_ptr<CListener> listener;

    std::thread worker;
    std::shared_ptr<std::atomic<bool>> cancelled;
    std::shared_ptr<std::atomic<int>> pending;
    unsigned generation = 0;
    bool catchingUp = false;
    bool upToDate = false;
    bool damageSeen = false;   // made afresh once in this catch-up: do not loop
    bool checkPending = false; // an index found at Open is checked by the first catch-up
    bool writeFailed = false;  // a write since this catch-up began failed: not up to date
    QTimer retry;              // the catch-up after a failed write
    // Meetings the program wrote while a catch-up ran: what the reader hands on of them may be
    // older than what was indexed at the write.
    std::unordered_set<std::string> touched;

    void CloseFolder() {
        if (folderFd >= 0) {
            ::close(folderFd);
            folderFd = -1;
        }
    }
};

// Hears the program's own writes and removals, on the thread that made them (the window's).
class CSearchKeeper::CListener : public CFileListener {
public:
    explicit CListener(CSearchKeeper& keeper) : m_keeper(keeper) {}
    void FileWritten(const std::filesystem::path& path) override { m_keeper.Reindex({path}); }
    void FileRemoved(const std::filesystem::path& path) override { m_keeper.Reindex({path}); }
    // An import's chunk: each meeting read once, one transaction, one changed().
    void FilesWritten(const std::vector<std::filesystem::path>& paths) override {
        m_keeper.Reindex(paths);
    }

private:
    CSearchKeeper& m_keeper;
};

// Runs on the reading thread and hands everything to the window's thread, where the index is
// written; batches of an earlier catch-up are dropped there.
class CSearchKeeper::CSink : public CCatchUpSink {
public:
    CSink(CSearchKeeper* keeper, unsigned generation, std::shared_ptr<std::atomic<bool>> cancelled,
          std::shared_ptr<std::atomic<int>> pending)
        : m_keeper(keeper), m_generation(generation), m_cancelled(std::move(cancelled)),
          m_pending(std::move(pending)) {}

    void Batch(std::vector<CMeetingUpdate> updates, std::vector<std::string> goneFiles,
               std::size_t done, std::size_t total) override {
        while (m_pending->load() >= maxPendingBatches && !m_cancelled->load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        m_pending->fetch_add(1);
        auto batch =
            std::make_shared<std::pair<std::vector<CMeetingUpdate>, std::vector<std::string>>>(
                std::move(updates), std::move(goneFiles));
        CSearchKeeper* keeper = m_keeper;
        const unsigned generation = m_generation;
        auto pending = m_pending;
        QMetaObject::invokeMethod(
            keeper,
            [keeper, generation, batch, pending, done, total] {
                pending->fetch_sub(1);
                CState& state = *keeper->m_state;
                if (generation != state.generation || !state.index) {
                    return;
                }
                // A meeting the program wrote meanwhile was indexed as written.
                std::erase_if(batch->first, [&state](const CMeetingUpdate& update) {
                    return state.touched.contains(update.meetingId);
                });
                std::erase_if(batch->second, [&state](const std::string& name) {
                    const std::optional<std::string> id = MeetingIdOfFileName(name);
                    return id && state.touched.contains(*id);
                });
                try {
                    state.index->Apply(batch->first, batch->second);
                } catch (const CSearchIndexError& error) {
                    keeper->Failed(error);
                    return;
                }
                emit keeper->progress(done, total);
            },
            Qt::QueuedConnection);
    }

    void Damaged() override {
        CSearchKeeper* keeper = m_keeper;
        const unsigned generation = m_generation;
        QMetaObject::invokeMethod(
            keeper,
            [keeper, generation] {
                if (generation == keeper->m_state->generation) {
                    keeper->Failed(CSearchIndexError("the index is damaged", true));
                }
            },
            Qt::QueuedConnection);
    }

    void Finished() override {
        CSearchKeeper* keeper = m_keeper;
        const unsigned generation = m_generation;
        QMetaObject::invokeMethod(
            keeper,
            [keeper, generation] {
                CState& state = *keeper->m_state;
                if (generation != state.generation || !state.index) {
                    return;
                }
                state.catchingUp = false;
                state.checkPending = false;
                state.touched.clear();
                if (state.writeFailed) {
                    return; // the retry catches up what was not written
                }
                state.upToDate = true;
                emit keeper->upToDate();
            },
            Qt::QueuedConnection);
    }

private:
    CSearchKeeper* m_keeper;
    unsigned m_generation;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    std::shared_ptr<std::atomic<int>> m_pending;
};

CSearchKeeper::CSearchKeeper(QObject* parent) : QObject(parent), m_state(new CState) {
    m_state->retry.setSingleShot(true);
    m_state->retry.setInterval(std::chrono::minutes(1));
    connect(&m_state->retry, &QTimer::timeout, this, &CSearchKeeper::CatchUp);
    m_state->listener = std::make_unique<CListener>(*this);
    AddFileListener(m_state->listener.get());
}

CSearchKeeper::~CSearchKeeper() {
    RemoveFileListener(m_state->listener.get());
    StopCatchUp();
    m_state->CloseFolder();
}

void CSearchKeeper::Open(const std::filesystem::path& workingDirectory) {
    StopCatchUp();
    CState& state = *m_state;
    state.retry.stop();
    state.index.reset();
    state.CloseFolder();
    state.upToDate = false;
    state.folder = workingDirectory;
    std::error_code error;
    state.canonicalFolder = std::filesystem::weakly_canonical(workingDirectory, error);
    if (error) {
        state.canonicalFolder = workingDirectory.lexically_normal();
    }
    state.folderFd = ::open(workingDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);

    const std::filesystem::path cache = SearchCacheFolder();
    if (cache.empty() || workingDirectory.empty()) {
        return;
    }
    if (!PrepareCacheFolder(cache)) {
        return; // no index can be kept: search is unavailable, the program works on
    }
    try {
        state.index = std::make_unique<CSearchIndex>(IndexFileFor(cache, state.canonicalFolder),
                                                     state.canonicalFolder.string());
    } catch (const CSearchIndexError&) {
        return;
    }
    state.damageSeen = false;
    state.checkPending = !state.index->WasMadeAfresh() && !state.index->WasClosedCleanly();
    StartCatchUp(state.checkPending);
}

void CSearchKeeper::CatchUp() {
    if (m_state->index) {
        StartCatchUp(m_state->checkPending);
    }
}

void CSearchKeeper::SetRetryDelay(std::chrono::milliseconds delay) {
    m_state->retry.setInterval(delay);
}

bool CSearchKeeper::IsUpToDate() const {
    return m_state->index != nullptr && m_state->upToDate;
}

bool CSearchKeeper::IsAvailable() const {
    return m_state->index != nullptr;
}

std::vector<CSearchHit> CSearchKeeper::Search(std::string_view words, std::size_t limit) const {
    if (!m_state->index) {
        return {};
    }
    try {
        return m_state->index->Search(words, limit);
    } catch (const CSearchIndexError& error) {
        DamageFoundInUse(error.IsDamage());
        return {};
    }
}

std::vector<COpenTodo> CSearchKeeper::OpenTodos(const COpenTodo* after, std::size_t limit) const {
    if (!m_state->index) {
        return {};
    }
    try {
        return m_state->index->OpenTodos(after, limit);
    } catch (const CSearchIndexError& error) {
        DamageFoundInUse(error.IsDamage());
        return {};
    }
}

void CSearchKeeper::DamageFoundInUse(bool damaged) const {
    if (!damaged) {
        return;
    }
    // Not up to date until made afresh, which happens after the caller's search.
    m_state->upToDate = false;
    auto* keeper = const_cast<CSearchKeeper*>(this);
    QTimer::singleShot(
        0, keeper, [keeper] { keeper->Failed(CSearchIndexError("the index is damaged", true)); });
}

void CSearchKeeper::StartCatchUp(bool quickCheck) {
    StopCatchUp();
    CState& state = *m_state;
    ++state.generation;
    state.catchingUp = true;
    state.upToDate = false;
    state.writeFailed = false;
    state.retry.stop();
    state.touched.clear();
    state.cancelled = std::make_shared<std::atomic<bool>>(false);
    state.pending = std::make_shared<std::atomic<int>>(0);
    state.worker = std::thread(
        [sink = std::make_shared<CSink>(this, state.generation, state.cancelled, state.pending),
         cancelled = state.cancelled, folder = state.folder, file = state.index->File(),
         quickCheck] {
            // Background work: when the processor is busy, the window's thread (loading the
            // meetings the user waits for at start) goes first. Failing to lower it is harmless.
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), catchUpNiceness);
            CatchUpWithFolder(folder, file, quickCheck, *cancelled, *sink);
        });
}

void CSearchKeeper::StopCatchUp() {
    CState& state = *m_state;
    if (state.worker.joinable()) {
        state.cancelled->store(true);
        state.worker.join();
    }
    state.catchingUp = false;
}

void CSearchKeeper::MakeAfresh() {
    CState& state = *m_state;
    StopCatchUp();
    if (!state.index) {
        return;
    }
    const std::filesystem::path file = state.index->File();
    state.index.reset();
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    try {
        state.index = std::make_unique<CSearchIndex>(file, state.canonicalFolder.string());
    } catch (const CSearchIndexError&) {
        state.upToDate = false;
        return;
    }
    StartCatchUp(false);
}

void CSearchKeeper::Failed(const CSearchIndexError& error) {
    CState& state = *m_state;
    if (!error.IsDamage()) {
        WriteFailed(error.GetReason());
        return;
    }
    if (state.damageSeen) {
        return; // made afresh once already: do not loop
    }
    state.damageSeen = true;
    MakeAfresh();
}

// A full disk, say: nothing of the failed write reached the index, its file stamps included,
// so the catch-up tried later reads those meetings again. Until then the index is not up to
// date, and the window says why.
void CSearchKeeper::WriteFailed(const std::string& reason) {
    CState& state = *m_state;
    state.writeFailed = true;
    state.upToDate = false;
    if (!state.retry.isActive()) {
        state.retry.start();
    }
    emit writeFailed(QString::fromStdString(reason));
}

void CSearchKeeper::Reindex(const std::vector<std::filesystem::path>& paths) {
    CState& state = *m_state;
    if (!state.index || state.folderFd < 0) {
        return;
    }
    // Each meeting once, with the name of its meeting file when that was among the paths.
    std::map<std::string, std::string> meetings;
    std::error_code error;
    for (const std::filesystem::path& path : paths) {
        const std::string name = path.filename().string();
        const std::optional<std::string> id = MeetingIdOfFileName(name);
        if (!id) {
            continue;
        }
        const std::filesystem::path parent = path.parent_path();
        if (parent.lexically_normal() != state.folder.lexically_normal() &&
            parent.lexically_normal() != state.canonicalFolder &&
            !std::filesystem::equivalent(parent, state.folder, error)) {
            continue;
        }
        std::string& meetingFile = meetings[*id];
        if (IsMeetingFileName(name)) {
            meetingFile = name;
        }
    }
    if (meetings.empty()) {
        return;
    }
    try {
        std::vector<CMeetingUpdate> updates;
        updates.reserve(meetings.size());
        for (const auto& [id, meetingFile] : meetings) {
            if (state.catchingUp) {
                state.touched.insert(id);
            }
            updates.push_back(ReadMeetingUpdate(state.folderFd, id, meetingFile));
        }
        state.index->Apply(updates);
    } catch (const CSearchIndexError& failure) {
        Failed(failure);
        return;
    }
    emit changed();
}
