#include "store/MeetingStore.h"

#include "store/Clock.h"
#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/WorkingDirectory.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <system_error>

namespace {

bool HasMeetingExtension(std::string_view name) {
    constexpr std::string_view extension = ".mtg";
    if (name.size() < extension.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
}

// The folder open for a scan: its descriptor lets every file be opened by its bare name.
class CFolderScan {
public:
    explicit CFolderScan(const std::filesystem::path& folder)
        : m_dir(folder.empty() ? nullptr : ::opendir(folder.c_str())) {}
    ~CFolderScan() {
        if (m_dir != nullptr) {
            ::closedir(m_dir);
        }
    }
    CFolderScan(const CFolderScan&) = delete;
    CFolderScan& operator=(const CFolderScan&) = delete;

    int Descriptor() const { return m_dir == nullptr ? -1 : ::dirfd(m_dir); }

    // Names ending in ".mtg" (any case) of regular files, or links to them, in name order.
    // Folders are skipped, and so are pipes and devices, which a read could wait on forever.
    std::vector<std::string> MeetingFileNames() const {
        std::vector<std::string> names;
        if (m_dir == nullptr) {
            return names;
        }
        while (const dirent* entry = ::readdir(m_dir)) {
            const std::string_view name = entry->d_name;
            if (!HasMeetingExtension(name) || !IsRegularFile(*entry)) {
                continue;
            }
            names.emplace_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    bool IsRegularFile(const dirent& entry) const {
        if (entry.d_type == DT_REG) {
            return true;
        }
        if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
            return false;
        }
        struct stat info {};
        return ::fstatat(Descriptor(), entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
    }

    DIR* m_dir;
};

} // namespace

CMeetingStore& TheMeetingStore() {
    static CMeetingStore store;
    return store;
}

void CMeetingStore::LoadAll(const LoadProgress& progress) {
    RemoveAll();
    m_skipped.clear();
    const std::filesystem::path folder = GetWorkingDirectory();
    const CFolderScan scan(folder);
    const std::vector<std::string> names = scan.MeetingFileNames();
    m_map.Reserve(names.size());
    std::string bytes;
    std::size_t loaded = 0;
    for (const std::string& name : names) {
        if (progress && loaded % 256 == 0 && loaded != 0) {
            progress(loaded, names.size());
        }
        ++loaded;
        if (!ReadWholeFileAt(scan.Descriptor(), name.c_str(), bytes)) {
            continue; // vanished or unreadable since the listing: silently not there
        }
        if (StoreDecoded(bytes) == ReadResult::malformed) {
            m_skipped.push_back(folder / name);
        }
    }
    if (progress) {
        progress(names.size(), names.size());
    }
}

void CMeetingStore::RemoveAll() {
    m_map.RemoveAll();
}

CMeetingStore::ReadResult CMeetingStore::ReadMeetingFile(const std::filesystem::path& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return ReadResult::unreadable;
    }
    return StoreDecoded(bytes);
}

CMeetingStore::ReadResult CMeetingStore::StoreDecoded(std::string_view bytes) {
    std::optional<CMeeting> record = DecodeMeeting(bytes);
    // The id names the meeting's files on every later save and delete: one that is not a
    // plain file-name stem would reach outside the working directory.
    if (!record || !IsUsableMeetingId(record->id)) {
        return ReadResult::malformed;
    }
    const std::string id = record->id;
    m_map.SetAt(id, std::move(*record));
    return ReadResult::loaded;
}

CMeeting CMeetingStore::GetMeeting(std::string_view id) const {
    if (const CMeeting* stored = m_map.Find(id)) {
        return *stored;
    }
    return CMeeting(); // dated now, which only an unknown id needs
}

std::string CMeetingStore::AddMeeting(CMeeting record) {
    // Ids only reach to the second: step forward until neither the store nor the folder
    // already has one, so a second add within a second never overwrites the first meeting.
    CDateTime when = CurrentDateTime();
    std::string id = MakeMeetingIdAt(when);
    std::error_code error;
    while (m_map.Contains(id) || std::filesystem::exists(MeetingFilePath(id), error)) {
        const std::string taken = id;
        when = when.AddSeconds(1);
        id = MakeMeetingIdAt(when);
        if (id == taken) {
            // The clock gives no date that can step on (it is not valid, or at the end of the
            // calendar): refuse rather than overwrite the meeting that holds the id.
            throw CFileError(MeetingFilePath(id).string(), "no free meeting id");
        }
    }
    record.id = id;
    WriteMeetingFile(record);
    m_map.SetAt(id, record);
    return id;
}

void CMeetingStore::ModifyMeeting(const CMeeting& record) {
    if (!IsUsableMeetingId(record.id)) {
        throw CFileError(MeetingFilePath(record.id).string(), "not a valid meeting id");
    }
    WriteMeetingFile(record);
    m_map.SetAt(record.id, record);
}

void CMeetingStore::DeleteMeeting(std::string_view id) {
    const std::string trimmed = TrimId(id);
    if (!IsUsableMeetingId(trimmed)) {
        throw CFileError(MeetingFilePath(trimmed).string(), "not a valid meeting id");
    }
    DeleteContentFiles(trimmed);
    RemoveFile(MeetingFilePath(trimmed));
    m_map.RemoveKey(id);
}
