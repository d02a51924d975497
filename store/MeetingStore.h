#pragma once

#include "store/Meeting.h"
#include "store/MeetingMap.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
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

    // Told how many of the listed meeting files have been read so far, and how many there are.
    using LoadProgress = std::function<void(std::size_t loaded, std::size_t total)>;

    // Replaces the contents with every meeting file of the working directory, visited in
    // name order so that of two files with one id the later name wins. The folder is listed
    // first; `progress` then hears every 256 files and once at the end.
    void LoadAll(const LoadProgress& progress = {});
    void RemoveAll();

    // A copy of the stored record; for an unknown id a default record with an empty id.
    CMeeting GetMeeting(std::string_view id) const;
    // Gives the record a new id that no stored meeting and no meeting file has, writes its
    // meeting file and stores it. Returns the id.
    std::string AddMeeting(CMeeting record);
    void ModifyMeeting(const CMeeting& record);
    // Removes the content files (silently), then the meeting file (CFileError when that
    // fails, and the record stays), then the record.
    void DeleteMeeting(std::string_view id);

    ReadResult ReadMeetingFile(const std::filesystem::path& path);

    std::size_t GetCount() const { return m_map.GetCount(); }
    const CMeetingMap& GetMap() const { return m_map; }
    CMeetingMap::ConstIterator begin() const { return m_map.begin(); }
    CMeetingMap::ConstIterator end() const { return m_map.end(); }

    // Meeting files the last LoadAll could not decode, in the order it met them.
    const std::vector<std::filesystem::path>& GetSkippedFiles() const { return m_skipped; }

private:
    // Decodes one meeting file's bytes and stores the record under its id.
    ReadResult StoreDecoded(std::string_view bytes);

    CMeetingMap m_map;
    std::vector<std::filesystem::path> m_skipped;
};

// The program's one store.
CMeetingStore& TheMeetingStore();
