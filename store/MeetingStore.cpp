#include "store/MeetingStore.h"

#include "store/Clock.h"
#include "store/ContentFiles.h"
#include "store/FileBatch.h"
#include "store/FileError.h"
#include "store/FileIo.h"
#include "store/MeetingFile.h"
#include "store/TakenIds.h"
#include "store/WorkingDirectory.h"

#include <algorithm>
#include <cstdint>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unordered_set>

namespace {

constexpr std::string_view meetingPrefix = "meeting";
constexpr std::string_view meetingExtension = ".mtg";

bool HasMeetingExtension(std::string_view name) {
    if (name.size() < meetingExtension.size()) {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - meetingExtension.size());
    return std::equal(tail.begin(), tail.end(), meetingExtension.begin(), [](char a, char b) {
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
    });
}

// The id a meeting file's name gives ("meeting" + id + ".mtg", the extension in any case);
// empty for any other name.
std::string_view IdInName(std::string_view name) {
    if (!name.starts_with(meetingPrefix) || !HasMeetingExtension(name)) {
        return {};
    }
    return name.substr(meetingPrefix.size(),
                       name.size() - meetingPrefix.size() - meetingExtension.size());
}

std::string MeetingFileName(std::string_view id) {
    std::string name;
    name.reserve(meetingPrefix.size() + id.size() + meetingExtension.size());
    name.append(meetingPrefix).append(id).append(meetingExtension);
    return name;
}

// Whether the decoded record of the file `name` may be loaded. Its id names every file of the
// meeting on later saves and deletes, so it must be a plain file-name stem. And a file holding
// another meeting's id while that meeting's own file is there is damaged (a flipped bit, say):
// loading it would hide the intact meeting, whose next save would then overwrite the good file.
template <typename FileExists>
bool IsLoadable(const std::optional<CMeeting>& record, std::string_view name,
                const FileExists& fileExists) {
    return record && IsUsableMeetingId(record->id) &&
           (record->id == IdInName(name) || !fileExists(MeetingFileName(record->id)));
}

// A listed name with what orders it quickly: the names the program writes, "meeting" + 16
// digits + ".mtg", compare as their number; any other pair compares as strings. Either way
// the order is the names' plain string order.
struct CListed {
    static constexpr std::uint64_t noNumber = UINT64_MAX;

    std::uint64_t number = noNumber;
    std::uint32_t name = 0; // index into the listing
};

std::uint64_t NumberOfName(std::string_view name) {
    if (name.size() != meetingPrefix.size() + 16 + meetingExtension.size() ||
        !name.starts_with(meetingPrefix) || !name.ends_with(meetingExtension)) {
        return CListed::noNumber;
    }
    std::uint64_t number = 0;
    for (const char c : name.substr(meetingPrefix.size(), 16)) {
        if (c < '0' || c > '9') {
            return CListed::noNumber;
        }
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return number;
}

// The listed names, kept in one block: a name the program writes is one character too long
// for a string's inline buffer, and a block per name costs more than the rest of the listing.
class CNames {
public:
    void Add(std::string_view name) {
        m_starts.push_back(static_cast<std::uint32_t>(m_chars.size()));
        m_chars.append(name).push_back('\0');
    }
    std::size_t size() const { return m_starts.size(); }
    const char* CString(std::size_t i) const { return m_chars.data() + m_starts[i]; }
    std::string_view operator[](std::size_t i) const {
        const std::size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] : m_chars.size();
        return {CString(i), end - m_starts[i] - 1};
    }

private:
    std::string m_chars;
    std::vector<std::uint32_t> m_starts;
};

void SortByName(std::vector<CListed>& listed, const CNames& names) {
    std::sort(listed.begin(), listed.end(), [&names](const CListed& a, const CListed& b) {
        if (a.number != CListed::noNumber && b.number != CListed::noNumber) {
            return a.number < b.number;
        }
        return names[a.name] < names[b.name];
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

    // Names ending in ".mtg" (any case) of regular files, or links to them, in the order the
    // folder lists them. Folders are skipped, and so are pipes and devices, which a read could
    // wait on forever (the reader checks again what it opened: the folder may change).
    CNames MeetingFileNames() const {
        CNames names;
        if (m_dir == nullptr) {
            return names;
        }
        while (const dirent* entry = ::readdir(m_dir)) {
            const std::string_view name = entry->d_name;
            if (!HasMeetingExtension(name) || !IsRegularFile(*entry)) {
                continue;
            }
            names.Add(name);
        }
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

// Steps `when` forward, a second at a time, to the first id `taken` says is free. Ids only
// reach to the second, so a second add within a second never overwrites the first meeting.
template <typename Taken> std::string FreeIdFrom(CDateTime& when, const Taken& taken) {
    std::string id = MakeMeetingIdAt(when);
    for (;;) {
        if (!IsWellFormedMeetingId(id)) {
            // The clock gives no valid date, or stepping on left the calendar: refuse rather
            // than write a file no later save or delete would name alike.
            throw CFileError(MeetingFilePath(id).string(), "the clock gives no valid meeting id");
        }
        if (!taken(id)) {
            return id;
        }
        when = when.AddSeconds(1);
        id = MakeMeetingIdAt(when);
    }
}

// Whether a name was listed. Only a file holding another meeting's id asks, so the set of
// names is made when first asked.
class CListedNames {
public:
    explicit CListedNames(const CNames& names) : m_names(names) {}

    bool operator()(const std::string& name) const {
        if (m_listedNames.empty()) {
            for (std::size_t i = 0; i < m_names.size(); ++i) {
                m_listedNames.insert(m_names[i]);
            }
        }
        return m_listedNames.contains(name);
    }

private:
    const CNames& m_names;
    mutable std::unordered_set<std::string_view> m_listedNames;
};

// The listed names' positions in name order.
std::vector<CListed> InNameOrder(const CNames& names) {
    const std::size_t total = names.size();
    std::vector<CListed> order(total);
    for (std::size_t i = 0; i < total; ++i) {
        order[i] = CListed{NumberOfName(names[i]), static_cast<std::uint32_t>(i)};
    }
    SortByName(order, names);
    return order;
}

// The lists of a new meeting and then its meeting file, as one group of the batch.
void AddNewMeetingFiles(CFileBatch& batch, const std::string& id, CNewMeeting& meeting) {
    // The lists first and the meeting file last: should a rename fail or the
    // machine stop midway, no meeting file stands without the lists it came with.
    if (meeting.agenda) {
        batch.Add(ContentFilePath(ContentKind::agenda, id), EncodeAgenda(*meeting.agenda));
    }
    if (meeting.attendees) {
        batch.Add(ContentFilePath(ContentKind::attendees, id),
                  EncodeStringList(*meeting.attendees));
    }
    if (meeting.todos) {
        batch.Add(ContentFilePath(ContentKind::todos, id), EncodeTodos(*meeting.todos));
    }
    if (meeting.minutes) {
        batch.Add(ContentFilePath(ContentKind::minutes, id), EncodeStringList(*meeting.minutes));
    }
    meeting.record.id = id;
    batch.Add(MeetingFilePath(id), EncodeMeeting(meeting.record));
    batch.EndGroup();
}

} // namespace

void CMeetingStore::FinishDateIndex(bool replaced) {
    if (replaced) {
        m_byDate.Rebuild(m_map);
    } else {
        m_byDate.Sort();
    }
}

void CMeetingStore::LoadAll(const LoadProgress& progress) {
    RemoveAll();
    m_skipped.clear();
    const std::filesystem::path folder = GetWorkingDirectory();
    const CFolderScan scan(folder);
    const CNames names = scan.MeetingFileNames();
    const std::size_t total = names.size();

    const CListedNames isListed(names);

    // Visiting the files in name order keeps both the enumeration order and "the later name
    // wins"; each record then goes into the map as soon as it is read.
    const std::vector<CListed> order = InNameOrder(names);
    m_map.Reserve(total);
    m_byDate.Reserve(total);
    bool replaced = false; // two files held one id: the earlier one's date was filed too
    // Should the load be cut short, the index still describes what was read.
    const auto finishIndex = [&] { FinishDateIndex(replaced); };
    std::string bytes;
    try {
        for (std::size_t done = 0; done < total; ++done) {
            if (progress && done % 256 == 0) {
                progress(done, total);
            }
            const std::size_t i = order[done].name;
            const std::string_view name = names[i];
            const ReadStatus status = ReadWholeFileAt(scan.Descriptor(), names.CString(i), bytes);
            if (status == ReadStatus::unreadable) {
                continue; // vanished or no regular file since the listing: silently not there
            }
            std::optional<CMeeting> record;
            if (status == ReadStatus::read) {
                record = DecodeMeeting(bytes);
            }
            if (!IsLoadable(record, name, isListed)) {
                m_skipped.push_back(folder / name);
                continue;
            }
            const std::size_t before = m_map.GetCount();
            const CMeetingMap::Entry& entry =
                m_map.SetAt(std::make_unique<CMeetingMap::Entry>(std::move(*record)));
            // Filed while the record is at hand; sorted once at the end.
            if (m_map.GetCount() > before) {
                m_byDate.Append(entry);
            } else {
                replaced = true;
            }
        }
    } catch (...) {
        finishIndex();
        throw;
    }
    finishIndex();
    if (progress) {
        progress(total, total);
    }
}

std::vector<const CMeetingMap::Entry*> CMeetingStore::MeetingsInBand(long long firstSecond,
                                                                     long long endSecond) const {
    return m_byDate.InBand(firstSecond, endSecond);
}

void CMeetingStore::RemoveAll() {
    m_map.RemoveAll();
    m_byDate.Clear();
    m_takenTo = m_takenFrom - 1;
}

void CMeetingStore::Store(CMeeting record) {
    const CMeetingMap::Entry* old = m_map.FindEntry(record.id);
    if (old == nullptr) {
        m_byDate.ReserveOneMore(); // should this fail, nothing has changed yet
    }
    const std::optional<long long> oldSecond =
        old != nullptr ? CDateIndex::SecondOf(old->value) : std::nullopt;
    const std::string id = record.id;
    const CMeetingMap::Entry& entry = m_map.SetAt(id, std::move(record));
    if (old != nullptr) {
        m_byDate.Refile(entry, oldSecond);
    } else {
        m_byDate.Insert(entry);
    }
}

CMeetingStore::ReadResult CMeetingStore::ReadMeetingFile(const std::filesystem::path& path) {
    std::string bytes;
    const ReadStatus status = ReadWholeFile(path, bytes);
    if (status == ReadStatus::unreadable) {
        return ReadResult::unreadable;
    }
    std::optional<CMeeting> record;
    if (status == ReadStatus::read) {
        record = DecodeMeeting(bytes);
    }
    const auto exists = [&path](const std::string& name) {
        std::error_code error;
        return std::filesystem::exists(path.parent_path() / name, error);
    };
    if (!IsLoadable(record, path.filename().string(), exists)) {
        return ReadResult::malformed;
    }
    Store(std::move(*record));
    return ReadResult::loaded;
}

CMeeting CMeetingStore::GetMeeting(std::string_view id) const {
    if (const CMeeting* stored = m_map.Find(id)) {
        return *stored;
    }
    return CMeeting(); // dated now, which only an unknown id needs
}

CDateTime CMeetingStore::FirstIdCandidate(long long& runStart) const {
    CDateTime when = CurrentDateTime();
    runStart = when.ToSerialSeconds();
    if (when.IsValid() && runStart >= m_takenFrom && runStart <= m_takenTo + 1) {
        when = when.AddSeconds(m_takenTo + 1 - runStart);
        runStart = m_takenFrom;
    }
    return when;
}

std::string CMeetingStore::AddMeeting(CMeeting record) {
    long long takenFrom = 0;
    CDateTime when = FirstIdCandidate(takenFrom);
    std::error_code error;
    const std::string id = FreeIdFrom(when, [&](const std::string& candidate) {
        return m_map.Contains(candidate) ||
               std::filesystem::exists(MeetingFilePath(candidate), error);
    });
    record.id = id;
    WriteMeetingFile(record);
    Store(std::move(record));
    m_takenFrom = takenFrom;
    m_takenTo = when.ToSerialSeconds();
    return id;
}

std::vector<std::string> CMeetingStore::AddMeetings(std::size_t count,
                                                    const NewMeetingSource& source,
                                                    const AddProgress& progress,
                                                    const std::unordered_set<std::string>* listed) {
    std::vector<std::string> ids;
    if (count == 0) {
        return ids;
    }
    ids.reserve(count);
    // The folder is listed once: what the batch itself writes, it also stores, so the map
    // answers for those.
    const std::unordered_set<std::string> filesTaken =
        listed ? std::unordered_set<std::string>() : TakenMeetingIds(GetWorkingDirectory());
    const std::unordered_set<std::string>& onDisk = listed ? *listed : filesTaken;
    const auto taken = [&](const std::string& id) {
        return m_map.Contains(id) || onDisk.contains(id);
    };
    long long takenFrom = 0;
    CDateTime when = FirstIdCandidate(takenFrom);
    std::vector<CMeeting> records;
    for (std::size_t done = 0; done < count;) {
        const std::size_t size = std::min(addChunkSize, count - done);
        CFileBatch batch(GetWorkingDirectory());
        records.clear();
        records.reserve(size);
        for (std::size_t i = 0; i < size; ++i) {
            CNewMeeting meeting = source(done + i);
            const std::string id = FreeIdFrom(when, taken);
            when = when.AddSeconds(1); // the next meeting of the chunk starts after this one
            AddNewMeetingFiles(batch, id, meeting);
            records.push_back(std::move(meeting.record));
        }
        const CFileBatch::CResult result = batch.Commit();
        // Memory follows the disk: exactly the meetings whose files are all in place.
        for (std::size_t i = 0; i < result.groupsKept; ++i) {
            ids.push_back(records[i].id);
            Store(std::move(records[i]));
        }
        if (result.groupsKept == size) {
            m_takenFrom = takenFrom;
            m_takenTo = when.AddSeconds(-1).ToSerialSeconds();
        }
        if (result.error) {
            throw *result.error;
        }
        done += size;
        if (progress) {
            progress(done, count);
        }
    }
    return ids;
}

void CMeetingStore::ModifyMeeting(const CMeeting& record) {
    if (!IsUsableMeetingId(record.id)) {
        throw CFileError(MeetingFilePath(record.id).string(), "not a valid meeting id");
    }
    WriteMeetingFile(record);
    Store(record);
}

void CMeetingStore::DeleteMeeting(std::string_view id) {
    const std::string trimmed = TrimId(id);
    // An id with blanks around it would name another meeting's files once trimmed.
    if (!IsUsableMeetingId(id)) {
        throw CFileError(MeetingFilePath(trimmed).string(), "not a valid meeting id");
    }
    m_takenTo = m_takenFrom - 1; // its id may be given again
    DeleteContentFiles(trimmed);
    RemoveFile(MeetingFilePath(trimmed));
    if (const CMeetingMap::Entry* entry = m_map.FindEntry(id)) {
        m_byDate.Erase(*entry, CDateIndex::SecondOf(entry->value));
        m_map.RemoveKey(id);
    }
}
