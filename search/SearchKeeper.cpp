#include "search/SearchKeeper.h"

#include "search/FolderCatchUp.h"
#include "search/IndexLocation.h"
#include "search/IndexWriter.h"
#include "search/QueryThread.h"
#include "search/SearchIndex.h"
#include "search/SearchIndexError.h"
#include "store/FileListener.h"

#include <QMetaObject>
#include <QTimer>

#include <fcntl.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <thread>

namespace {

// Batches read and not yet written: the reader waits beyond this, so that a first build of a
// big folder never piles the whole folder up in memory.
constexpr int maxPendingBatches = 8;
constexpr std::size_t catchUpBatchSize = 1024;
// How far below the window's thread the catch-up's reading runs.
constexpr int catchUpNiceness = 10;
// How long the window's thread waits for a search's answer before it lets the query thread
// answer later: with the list's own fill and paint, within a frame.
constexpr std::chrono::milliseconds searchBudget(10);

} // namespace

struct CSearchKeeper::CState {
    std::filesystem::path folder;
    std::filesystem::path canonicalFolder;
    int folderFd = -1;
    std::filesystem::path file;
    // Searches on the window's thread; the writer writes; slow searches go to the query
    // thread. Each with a connection of its own.
    std::unique_ptr<CSearchIndex> reader;
    std::unique_ptr<CWriterEvents> events;
    std::unique_ptr<CIndexWriter> writer;
    std::unique_ptr<CQueryThread> queries;
    unsigned writerEpoch = 0; // tells a dropped writer's late news from the present one's

    std::thread worker; // reads the folder for a catch-up
    std::shared_ptr<std::atomic<bool>> cancelled;
    unsigned generation = 0;
    bool upToDate = false;
    bool damageSeen = false;   // made afresh once in this catch-up: do not loop
    bool checkPending = false; // an index found at Open is checked by the first catch-up
    bool writeFailed = false;  // a write since this catch-up began failed: not up to date
    QTimer retry;              // the catch-up after a failed write
    // The search handed to the query thread, and its answer once given.
    std::optional<std::pair<std::string, std::size_t>> asked;
    struct CAnswer {
        std::string words;
        std::size_t limit = 0;
        std::vector<CSearchHit> hits;
    };
    std::optional<CAnswer> answer;
    std::unique_ptr<CListener> listener;

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

// The writer's news, from its thread to the window's; news of a writer since dropped, or of a
// catch-up since stopped, is not heard.
class CSearchKeeper::CWriterEvents : public CIndexWriter::CEvents {
public:
    CWriterEvents(CSearchKeeper* keeper, unsigned epoch) : m_keeper(keeper), m_epoch(epoch) {}

    void Written(unsigned generation, std::size_t done, std::size_t total) override {
        Tell([generation, done, total](CSearchKeeper& keeper, CState& state) {
            if (generation == state.generation) {
                emit keeper.progress(done, total);
            }
        });
    }
    void CaughtUp(unsigned generation) override {
        Tell([generation](CSearchKeeper& keeper, CState& state) {
            if (generation == state.generation) {
                keeper.CaughtUp();
            }
        });
    }
    void Saved() override {
        Tell([](CSearchKeeper& keeper, CState& state) {
            state.answer.reset();
            emit keeper.changed();
        });
    }
    void Failed(const CSearchIndexError& error) override {
        Tell([error](CSearchKeeper& keeper, CState&) { keeper.Failed(error); });
    }

private:
    template <typename Action> void Tell(Action action) {
        CSearchKeeper* keeper = m_keeper;
        const unsigned epoch = m_epoch;
        QMetaObject::invokeMethod(
            keeper,
            [keeper, epoch, action] {
                CState& state = *keeper->m_state;
                if (epoch == state.writerEpoch && state.writer) {
                    action(*keeper, state);
                }
            },
            Qt::QueuedConnection);
    }

    CSearchKeeper* m_keeper;
    unsigned m_epoch;
};

// Runs on the reading thread and hands each batch to the writer, waiting while it is behind.
class CSearchKeeper::CSink : public CCatchUpSink {
public:
    CSink(CSearchKeeper* keeper, CIndexWriter& writer, unsigned generation,
          std::shared_ptr<std::atomic<bool>> cancelled)
        : m_keeper(keeper), m_writer(writer), m_generation(generation),
          m_cancelled(std::move(cancelled)) {}

    void Batch(std::vector<CMeetingUpdate> updates, std::size_t done, std::size_t total) override {
        while (m_writer.PendingBatches() >= maxPendingBatches && !m_cancelled->load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        m_writer.Batch(m_generation, std::move(updates), done, total);
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

    void Finished() override { m_writer.EndCatchUp(m_generation); }

private:
    CSearchKeeper* m_keeper;
    CIndexWriter& m_writer;
    unsigned m_generation;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
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
    CloseIndex();
    m_state->CloseFolder();
}

void CSearchKeeper::Open(const std::filesystem::path& workingDirectory) {
    CloseIndex();
    CState& state = *m_state;
    state.retry.stop();
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
    state.damageSeen = false;
    OpenIndex(IndexFileFor(cache, state.canonicalFolder));
}

// Opens (or makes) the index in `file` with its three connections and starts catching up.
void CSearchKeeper::OpenIndex(const std::filesystem::path& file) {
    CState& state = *m_state;
    try {
        auto index = std::make_unique<CSearchIndex>(file, state.canonicalFolder.string());
        state.checkPending = !index->WasMadeAfresh() && !index->WasClosedCleanly();
        state.file = index->File();
        state.events = std::make_unique<CWriterEvents>(this, ++state.writerEpoch);
        state.writer =
            std::make_unique<CIndexWriter>(std::move(index), state.folderFd, *state.events);
        state.reader = std::make_unique<CSearchIndex>(state.file, CSearchIndex::ForReading{});
    } catch (const CSearchIndexError&) {
        CloseIndex();
        return;
    }
    const unsigned epoch = state.writerEpoch;
    state.queries = std::make_unique<CQueryThread>(
        state.file,
        [this, epoch](const std::string& words, std::size_t limit, CQueryThread::CResult result) {
            QMetaObject::invokeMethod(
                this,
                [this, epoch, words, limit, result = std::move(result)]() mutable {
                    Answered(epoch, words, limit, std::move(result));
                },
                Qt::QueuedConnection);
        });
    StartCatchUp(state.checkPending);
}

// Stops the catch-up (its reading thread hands to the writer), then each connection, the
// writer's last: the last to close folds the write-ahead log into the index and removes it,
// which a read-only connection cannot.
void CSearchKeeper::CloseIndex() {
    StopCatchUp();
    CState& state = *m_state;
    state.queries.reset();
    state.reader.reset();
    state.writer.reset();
    state.events.reset();
    state.asked.reset();
    state.answer.reset();
}

void CSearchKeeper::CatchUp() {
    if (m_state->writer) {
        StartCatchUp(m_state->checkPending);
    }
}

void CSearchKeeper::SetRetryDelay(std::chrono::milliseconds delay) {
    m_state->retry.setInterval(delay);
}

bool CSearchKeeper::IsUpToDate() const {
    return m_state->reader != nullptr && m_state->upToDate;
}

bool CSearchKeeper::IsWriting() const {
    return m_state->writer != nullptr && m_state->writer->PendingSaves() > 0;
}

bool CSearchKeeper::IsAvailable() const {
    return m_state->reader != nullptr;
}

std::vector<CSearchHit> CSearchKeeper::Search(std::string_view words, std::size_t limit) const {
    return TrySearch(words, limit).value_or(std::vector<CSearchHit>{});
}

std::optional<std::vector<CSearchHit>> CSearchKeeper::TrySearch(std::string_view words,
                                                                std::size_t limit) const {
    CState& state = *m_state;
    if (!state.reader) {
        return std::vector<CSearchHit>{};
    }
    if (state.answer && state.answer->words == words && state.answer->limit == limit) {
        std::vector<CSearchHit> hits = std::move(state.answer->hits);
        state.answer.reset();
        return hits;
    }
    std::optional<CQueryThread::CResult> result =
        state.queries->Search(std::string(words), limit, searchBudget);
    if (result) {
        state.asked.reset();
        DamageFoundInUse(result->damaged);
        return std::move(result->hits);
    }
    // Too slow for the window: answered later, the lists asking again when it comes.
    state.asked.emplace(std::string(words), limit);
    return std::nullopt;
}

void CSearchKeeper::Answered(unsigned epoch, const std::string& words, std::size_t limit,
                             CQueryThread::CResult result) {
    CState& state = *m_state;
    if (epoch != state.writerEpoch || state.asked != std::pair(words, limit)) {
        return; // a search since asked for, or of an index since closed
    }
    state.asked.reset();
    DamageFoundInUse(result.damaged);
    state.answer = CState::CAnswer{words, limit, std::move(result.hits)};
    emit searchAnswered();
}

std::vector<COpenTodo> CSearchKeeper::OpenTodos(const COpenTodo* after, std::size_t limit) const {
    if (!m_state->reader) {
        return {};
    }
    try {
        return m_state->reader->OpenTodos(after, limit);
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
    state.upToDate = false;
    state.writeFailed = false;
    state.retry.stop();
    state.cancelled = std::make_shared<std::atomic<bool>>(false);
    state.writer->BeginCatchUp(state.generation);
    state.worker = std::thread(
        [sink = std::make_shared<CSink>(this, *state.writer, state.generation, state.cancelled),
         cancelled = state.cancelled, folder = state.folder, file = state.file, quickCheck] {
            // Background work: when the processor is busy, the window's thread (loading the
            // meetings the user waits for at start) goes first. Failing to lower it is harmless.
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), catchUpNiceness);
            ::pthread_setname_np(::pthread_self(), "index reader");
            CatchUpWithFolder(folder, file, quickCheck, *cancelled, *sink, catchUpBatchSize);
        });
}

void CSearchKeeper::StopCatchUp() {
    CState& state = *m_state;
    if (state.worker.joinable()) {
        state.cancelled->store(true);
        state.worker.join();
    }
}

void CSearchKeeper::CaughtUp() {
    CState& state = *m_state;
    state.checkPending = false;
    if (state.writeFailed) {
        return; // the retry catches up what was not written
    }
    state.upToDate = true;
    state.answer.reset();
    emit upToDate();
}

void CSearchKeeper::MakeAfresh() {
    CState& state = *m_state;
    if (!state.writer) {
        return;
    }
    const std::filesystem::path file = state.file;
    CloseIndex();
    state.upToDate = false;
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    OpenIndex(file);
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
    if (!state.writer || state.folderFd < 0) {
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
    if (!meetings.empty()) {
        state.writer->Save({meetings.begin(), meetings.end()});
    }
}
