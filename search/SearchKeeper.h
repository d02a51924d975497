#pragma once

#include "search/OpenTodo.h"
#include "search/QueryThread.h"
#include "search/SearchHit.h"

#include <QObject>
#include <QString>

#include <chrono>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The search index of the open working directory, kept in the user's cache folder and in
// step with every meeting and content file the program writes or removes. At start, on
// Refresh and after a change of folder it catches up with changes made behind the program's
// back without freezing the window; searches answer from what is indexed so far.
class CSearchIndexError;

class CSearchKeeper : public QObject {
    Q_OBJECT

public:
    explicit CSearchKeeper(QObject* parent = nullptr);
    ~CSearchKeeper() override;

    // Opens (or makes) the index of `workingDirectory` and starts catching up with it.
    void Open(const std::filesystem::path& workingDirectory);
    // Catches up with the open folder again (Refresh).
    void CatchUp();
    bool IsUpToDate() const;
    // Whether writes the program made are still being indexed (or their news not yet heard).
    bool IsWriting() const;
    // False when no index could be made (the cache folder is not writable, say): searches
    // then find nothing and the program works on without them.
    bool IsAvailable() const;

    // Meetings whose texts hold every word of `words` (each also as a word prefix), case and
    // accents ignored, newest first; at most `limit`. A search that would hold the window's
    // thread beyond a frame answers nothing at once and goes on beside it: searchAnswered then
    // asks for the same words and limit again, which gives its answer.
    std::vector<CSearchHit> Search(std::string_view words, std::size_t limit) const;
    // As Search, but nothing (rather than no hits) when the answer comes with searchAnswered.
    std::optional<std::vector<CSearchHit>> TrySearch(std::string_view words,
                                                     std::size_t limit) const;
    // Todos not done, highest priority first, then by meeting date: at most `limit`, after
    // `after` (a todo an earlier answer gave) or from the first.
    std::vector<COpenTodo> OpenTodos(const COpenTodo* after = nullptr,
                                     std::size_t limit = SIZE_MAX) const;

    // How long after a failed write the folder is caught up again (a minute).
    void SetRetryDelay(std::chrono::milliseconds delay);

signals:
    // While catching up: `done` of `total` files looked at.
    void progress(std::size_t done, std::size_t total);
    // The index holds the whole folder; results may have changed.
    void upToDate();
    // A write the program made changed what the index holds.
    void changed();
    // A search handed on has its answer: ask for it again.
    void searchAnswered();
    // Writing to the index failed (a full disk, say) with SQLite's `reason`: what was not
    // written is missing from searches until a catch-up tried later succeeds.
    void writeFailed(const QString& reason);

private:
    struct CState;
    class CListener;
    class CSink;
    class CWriterEvents;

    void OpenIndex(const std::filesystem::path& file);
    void CloseIndex();
    void StartCatchUp(bool quickCheck);
    void StopCatchUp();
    void CaughtUp();
    void Answered(unsigned epoch, const std::string& words, std::size_t limit,
                  CQueryThread::CResult result);
    void MakeAfresh();
    // Indexes again the meetings of files the program wrote or removed, in one go, on the
    // writer's thread.
    void Reindex(const std::vector<std::filesystem::path>& paths);
    void Failed(const CSearchIndexError& error);
    void WriteFailed(const std::string& reason);
    void DamageFoundInUse(bool damaged) const;

    std::unique_ptr<CState> m_state;
};
