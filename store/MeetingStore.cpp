#include "store/MeetingStore.h"

#include "store/Clock.h"
#include "store/ContentFiles.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/WorkingDirectory.h"

#include <algorithm>
#include <system_error>

namespace {

bool HasMeetingExtension(const std::string& name) {
    constexpr std::string_view extension = ".mtg";
    if (name.size() < extension.size()) {
        return false;
    }
    const std::string_view tail = std::string_view(name).substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
}

std::vector<std::string> MeetingFileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        return names;
    }
    for (const std::filesystem::directory_entry& entry : it) {
        std::string name = entry.path().filename().string();
        if (!HasMeetingExtension(name)) {
            continue;
        }
        std::error_code typeError;
        if (entry.is_directory(typeError)) {
            continue;
        }
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

CMeetingStore& TheMeetingStore() {
    static CMeetingStore store;
    return store;
}

void CMeetingStore::LoadAll() {
    RemoveAll();
    m_skipped.clear();
    const std::filesystem::path folder = GetWorkingDirectory();
    for (const std::string& name : MeetingFileNames(folder)) {
        const std::filesystem::path path = folder / name;
        if (ReadMeetingFile(path) == ReadResult::malformed) {
            m_skipped.push_back(path);
        }
    }
}

void CMeetingStore::RemoveAll() { m_map.RemoveAll(); }

CMeetingStore::ReadResult CMeetingStore::ReadMeetingFile(const std::filesystem::path& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return ReadResult::unreadable;
    }
    std::optional<CMeeting> record = DecodeMeeting(bytes);
    if (!record) {
        return ReadResult::malformed;
    }
    const std::string id = record->id;
    m_map.SetAt(id, *record);
    return ReadResult::loaded;
}

CMeeting CMeetingStore::GetMeeting(std::string_view id) const {
    CMeeting record;
    if (const CMeeting* stored = m_map.Find(id)) {
        record = *stored;
    }
    return record;
}

std::string CMeetingStore::AddMeeting(CMeeting record) {
    // Ids only reach to the second: step forward until neither the store nor the folder
    // already has one, so a second add within a second never overwrites the first meeting.
    CDateTime when = CurrentDateTime();
    std::string id = MakeMeetingIdAt(when);
    std::error_code error;
    while (m_map.Contains(id) || std::filesystem::exists(MeetingFilePath(id), error)) {
        when = when.AddSeconds(1);
        id = MakeMeetingIdAt(when);
    }
    record.id = id;
    WriteMeetingFile(record);
    m_map.SetAt(id, record);
    return id;
}

void CMeetingStore::ModifyMeeting(const CMeeting& record) {
    WriteMeetingFile(record);
    m_map.SetAt(record.id, record);
}

void CMeetingStore::DeleteMeeting(std::string_view id) {
    const std::string trimmed = TrimId(id);
    DeleteContentFiles(trimmed);
    RemoveFile(MeetingFilePath(trimmed));
    m_map.RemoveKey(id);
}
