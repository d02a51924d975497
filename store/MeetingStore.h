#pragma once

#include "store/DateIndex.h"
#include "store/Meeting.h"
#include "store/MeetingMap.h"
#include "store/NewMeeting.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// All meetings of the working directory, kept in step with the meeting files by writing
// through: every change goes to the file first and to memory second.
class CMeetingStore {
public:
    enum class ReadResult { loaded, unreadable, malformed };

    CMeetingStore() = default;
    virtual ~CMeetingStore() = default;
    CMeetingStore(const CMeetingStore&) = delete;
    CMeetingStore& operator=(const CMeetingStore&) = delete;

    using LoadProgress = std::function<void(std::size_t loaded, std::size_t total)>;

    // Replaces the contents with every meeting file of the working directory. Of two files
    // with one id the later name wins, and the records go in as if inserted in name order.
    // A file whose stored id differs from the id in its own name is damaged when the file
    // named after its stored id exists (so a flipped bit cannot hide an intact meeting).
    // The folder is listed first; `progress` then hears before the first file is read, every
    // 256 files and once at the end.
    void LoadAll(const LoadProgress& progress = {});
    void RemoveAll();

    // A copy of the stored record; for an unknown id a default record with an empty id.
    CMeeting GetMeeting(std::string_view id) const;
    // Gives the record a new id that no stored meeting and no meeting file has, writes its
    // meeting file and stores it. Returns the id.
    std::string AddMeeting(CMeeting record);

    using AddProgress = std::function<void(std::size_t added, std::size_t total)>;
    // Hands out the meetings to add one at a time, 0 to count - 1, each asked once.
    using NewMeetingSource = std::function<CNewMeeting(std::size_t index)>;
    // How many meetings AddMeetings writes and flushes together.
    static constexpr std::size_t addChunkSize = 1000;

    // Adds `count` new meetings with their content files as AddMeeting and the content
    // writers would, byte for byte, each with an id that no stored meeting and no file of the
    // folder has, but a chunk at a time with one flush for the chunk (CFileBatch). Returns the
    // ids in order; `progress` hears after every chunk. On CFileError the chunks before the
    // failing one stay, and of that chunk the meetings whose files were all in place; the
    // store always holds exactly the meetings whose files are there.
    // `listed`, when given, stands for the folder's listing (TakenMeetingIds), made by the
    // caller beforehand off the window's thread: a caller adding in many small calls then
    // does not list a large folder at every call.
    std::vector<std::string> AddMeetings(std::size_t count, const NewMeetingSource& source,
                                         const AddProgress& progress = {},
                                         const std::unordered_set<std::string>* listed = nullptr);
    void ModifyMeeting(const CMeeting& record);
    // Removes the content files (silently), then the meeting file (CFileError when that
    // fails, and the record stays), then the record.
    void DeleteMeeting(std::string_view id);

    ReadResult ReadMeetingFile(const std::filesystem::path& path);

    std::size_t GetCount() const { return m_map.GetCount(); }
    const CMeetingMap& GetMap() const { return m_map; }
    CMeetingMap::ConstIterator begin() const { return m_map.begin(); }
    CMeetingMap::ConstIterator end() const { return m_map.end(); }

    // The meetings whose date, rounded to the whole second, falls in [firstSecond, endSecond)
    // (seconds as CDateTime::ToSerialSeconds counts them), in the store's enumeration order.
    // A meeting whose date is not valid is in no band. The calendar's fills ask this instead
    // of walking every meeting: it costs a binary search and the band's own meetings.
    std::vector<const CMeetingMap::Entry*> MeetingsInBand(long long firstSecond,
                                                          long long endSecond) const;

    // Meeting files the last LoadAll found damaged, in name order.
    const std::vector<std::filesystem::path>& GetSkippedFiles() const { return m_skipped; }

private:
    // The date index after a load: sorted once, or made again when two files held one id.
    void FinishDateIndex(bool replaced);
    // The second to try first for a new id, and the start of the run of taken seconds that
    // it continues.
    CDateTime FirstIdCandidate(long long& runStart) const;
    // Stores `record` under its id (inserted or replaced) and files it in the date index.
    void Store(CMeeting record);

    CMeetingMap m_map;
    CDateIndex m_byDate; // every change to m_map is made to it too
    std::vector<std::filesystem::path> m_skipped;
    // The ids of these seconds (as ToSerialSeconds counts them) were all taken when AddMeeting
    // last gave one: adds in a row, as an import makes them, start after them instead of
    // stepping over every one again. Forgotten when a meeting goes or the store is reloaded.
    long long m_takenFrom = 0;
    long long m_takenTo = -1;
};
