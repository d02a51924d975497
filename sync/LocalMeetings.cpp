#include "sync/LocalMeetings.h"

#include "search/FolderFiles.h"
#include "store/ContentFiles.h"
#include "store/FileDescriptor.h"
#include "store/MeetingFile.h"
#include <QCryptographicHash>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The folder open for reading names in it.
int OpenFolder(const std::filesystem::path& folder) {
    return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

void AddStamp(QByteArray& stamp, const std::string& name, const CFileStamp& file) {
    stamp += QByteArray::fromStdString(name) + '/' + QByteArray::number(file.size) + '/' +
             QByteArray::number(file.modifiedNs) + ';';
}

// The stamp ReadLocalMeeting gives, from the files' sizes and times alone (empty when the
// meeting file is missing).
QByteArray StampOnly(int folder, const std::string& id) {
    QByteArray stamp;
    const auto add = [&](const std::string& name) {
        struct stat info {};
        if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode)) {
            AddStamp(stamp, name, StampOf(info));
        }
    };
    add(MeetingFileNameOf(id));
    if (stamp.isEmpty()) {
        return stamp;
    }
    for (const std::string& name : ContentFileNamesOf(id)) {
        add(name);
    }
    return stamp;
}

template <typename Item, typename Decode>
std::optional<std::vector<Item>> ReadList(int folder, const std::string& name, QByteArray& stamp,
                                          Decode decode) {
    std::string bytes;
    CFileStamp fileStamp;
    if (!ReadStampedFile(folder, name, bytes, fileStamp)) {
        return std::nullopt;
    }
    AddStamp(stamp, name, fileStamp);
    return decode(bytes);
}

template <typename List, typename Encode>
void AddList(QCryptographicHash& hash, const List& list, Encode encode) {
    if (!list) {
        hash.addData(QByteArrayView("-"));
        return;
    }
    const std::string bytes = encode(*list);
    hash.addData(QByteArrayView("+"));
    hash.addData(QByteArray::number(qsizetype(bytes.size())));
    hash.addData(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

} // namespace

QByteArray MeetingDigest(const CCalendarMeeting& meeting) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const std::string record = EncodeMeeting(meeting.record);
    hash.addData(QByteArrayView(record.data(), qsizetype(record.size())));
    AddList(hash, meeting.content.agenda, EncodeAgenda);
    AddList(hash, meeting.content.attendees, EncodeStringList);
    AddList(hash, meeting.content.minutes, EncodeStringList);
    AddList(hash, meeting.content.todos, EncodeTodos);
    return hash.result();
}

std::optional<CCalendarMeeting> ReadLocalMeeting(const std::filesystem::path& folder,
                                                 const std::string& id, QByteArray* stamp) {
    const CFileDescriptor handle(OpenFolder(folder));
    const int fd = handle.Get();
    std::string bytes;
    CFileStamp fileStamp;
    const std::string meetingName = MeetingFileNameOf(id);
    if (fd < 0 || !ReadStampedFile(fd, meetingName, bytes, fileStamp)) {
        return std::nullopt;
    }
    std::optional<CMeeting> record = DecodeMeeting(bytes);
    if (!record) {
        return std::nullopt;
    }
    QByteArray seen;
    AddStamp(seen, meetingName, fileStamp);
    CCalendarMeeting meeting{std::move(*record), {}};
    const std::vector<std::string> names =
        ContentFileNamesOf(id); // agenda, attendees, minutes, todos
    meeting.content.agenda = ReadList<CAgendaItem>(fd, names[0], seen, DecodeAgenda);
    meeting.content.attendees = ReadList<std::string>(fd, names[1], seen, DecodeStringList);
    meeting.content.minutes = ReadList<std::string>(fd, names[2], seen, DecodeStringList);
    meeting.content.todos = ReadList<CTodoItem>(fd, names[3], seen, DecodeTodos);
    if (stamp) {
        *stamp = seen;
    }
    return meeting;
}

std::map<std::string, CLocalMeeting> ScanLocalMeetings(const std::filesystem::path& folder,
                                                       const CSyncState& state,
                                                       const std::atomic<bool>& cancelled) {
    std::map<std::string, CLocalMeeting> found;
    std::vector<CListedFile> files;
    {
        const CFileDescriptor handle(OpenFolder(folder));
        if (handle.Get() < 0) {
            return found;
        }
        files = ListMeetingFiles(handle.Get(), cancelled);
    }
    // The stamp in the order ReadLocalMeeting builds it: the meeting file, then its lists.
    std::map<std::string, std::map<std::string, CFileStamp>> byMeeting;
    for (const CListedFile& file : files) {
        byMeeting[file.meetingId][file.name] = file.stamp;
    }
    for (auto& [id, named] : byMeeting) {
        const std::string meetingName = MeetingFileNameOf(id);
        const auto meetingFile = named.find(meetingName);
        if (meetingFile == named.end() || cancelled) {
            continue; // content files without their meeting, or a name the store does not write
        }
        QByteArray stamp;
        AddStamp(stamp, meetingName, meetingFile->second);
        for (const std::string& name : ContentFileNamesOf(id)) {
            if (const auto file = named.find(name); file != named.end()) {
                AddStamp(stamp, name, file->second);
            }
        }
        const auto known = state.pairs.find(id);
        if (known != state.pairs.end() && known->second.localStamp == stamp) {
            found[id] = {stamp, known->second.localDigest};
            continue;
        }
        QByteArray readStamp;
        if (std::optional<CCalendarMeeting> meeting = ReadLocalMeeting(folder, id, &readStamp)) {
            meeting->record.id = id;
            found[id] = {readStamp, MeetingDigest(*meeting)};
        }
    }
    return found;
}

std::map<std::string, CLocalMeeting> ScanChangedMeetings(const std::filesystem::path& folder,
                                                         const CSyncState& state,
                                                         const std::set<std::string>& changed) {
    std::map<std::string, CLocalMeeting> found;
    for (const auto& [id, pair] : state.pairs) {
        if (!changed.contains(id)) {
            found[id] = {pair.localStamp, pair.localDigest};
        }
    }
    const CFileDescriptor handle(OpenFolder(folder));
    for (const std::string& id : changed) {
        // Most of what was heard is the sync's own writing, whose stamps the pair holds.
        const auto pair = state.pairs.find(id);
        if (pair != state.pairs.end() && handle.Get() >= 0 &&
            StampOnly(handle.Get(), id) == pair->second.localStamp) {
            found[id] = {pair->second.localStamp, pair->second.localDigest};
            continue;
        }
        QByteArray stamp;
        if (std::optional<CCalendarMeeting> meeting = ReadLocalMeeting(folder, id, &stamp)) {
            meeting->record.id = id;
            found[id] = {stamp, MeetingDigest(*meeting)};
        }
    }
    return found;
}
