#include "store/ContentFiles.h"

#include "store/Archive.h"
#include "store/FileIo.h"
#include "store/FileListener.h"
#include "store/WorkingDirectory.h"

#include <unistd.h>

namespace {

std::filesystem::path PathFor(ContentKind kind, std::string_view id) {
    switch (kind) {
    case ContentKind::agenda:
        return MeetingFilePathFor("agenda", id, ".agd");
    case ContentKind::attendees:
        return MeetingFilePathFor("Attendees", id, ".atn");
    case ContentKind::minutes:
        return MeetingFilePathFor("kes", id, ".kes");
    case ContentKind::todos:
        return MeetingFilePathFor("todo", id, ".tdo");
    }
    return {};
}

std::string ReadBytes(ContentKind kind, std::string_view meetingId) {
    std::string bytes;
    ReadWholeFile(PathFor(kind, TrimId(meetingId)), bytes);
    return bytes;
}

// Reads the count, then entries until the count is reached or the bytes fault.
template <typename Item, typename ReadOne>
std::vector<Item> DecodeList(std::string_view bytes, ReadOne readOne) {
    std::vector<Item> items;
    try {
        CArchiveReader in(bytes);
        const std::int32_t count = in.ReadInt32();
        for (std::int32_t i = 0; i < count; ++i) {
            items.push_back(readOne(in));
        }
    } catch (const CArchiveError&) {
        // Keep what was read before the fault.
    }
    return items;
}

} // namespace

std::filesystem::path ContentFilePath(ContentKind kind, std::string_view meetingId) {
    return PathFor(kind, meetingId);
}

std::vector<CAgendaItem> DecodeAgenda(std::string_view bytes) {
    return DecodeList<CAgendaItem>(bytes, [](CArchiveReader& in) {
        CAgendaItem item;
        item.time = in.ReadDateTime();
        item.text = in.ReadString();
        return item;
    });
}

std::vector<std::string> DecodeStringList(std::string_view bytes) {
    return DecodeList<std::string>(bytes, [](CArchiveReader& in) { return in.ReadString(); });
}

std::vector<CTodoItem> DecodeTodos(std::string_view bytes) {
    return DecodeList<CTodoItem>(bytes, [](CArchiveReader& in) {
        CTodoItem item;
        item.priority = in.ReadInt32();
        item.done = in.ReadInt32();
        item.text = in.ReadString();
        return item;
    });
}

std::string EncodeAgenda(const std::vector<CAgendaItem>& items) {
    CArchiveWriter out;
    out.WriteInt32(static_cast<std::int32_t>(items.size()));
    for (const CAgendaItem& item : items) {
        out.WriteDateTime(item.time);
        out.WriteString(item.text);
    }
    return out.TakeBytes();
}

std::string EncodeStringList(const std::vector<std::string>& items) {
    CArchiveWriter out;
    out.WriteInt32(static_cast<std::int32_t>(items.size()));
    for (const std::string& item : items) {
        out.WriteString(item);
    }
    return out.TakeBytes();
}

std::string EncodeTodos(const std::vector<CTodoItem>& items) {
    CArchiveWriter out;
    out.WriteInt32(static_cast<std::int32_t>(items.size()));
    for (const CTodoItem& item : items) {
        out.WriteInt32(item.priority);
        out.WriteInt32(item.done);
        out.WriteString(item.text);
    }
    return out.TakeBytes();
}

std::vector<CAgendaItem> ReadAgendaFile(std::string_view meetingId) {
    return DecodeAgenda(ReadBytes(ContentKind::agenda, meetingId));
}

std::vector<std::string> ReadAttendeeFile(std::string_view meetingId) {
    return DecodeStringList(ReadBytes(ContentKind::attendees, meetingId));
}

std::vector<std::string> ReadMinutesFile(std::string_view meetingId) {
    return DecodeStringList(ReadBytes(ContentKind::minutes, meetingId));
}

std::vector<CTodoItem> ReadTodoFile(std::string_view meetingId) {
    return DecodeTodos(ReadBytes(ContentKind::todos, meetingId));
}

void WriteAgendaFile(std::string_view meetingId, const std::vector<CAgendaItem>& items) {
    WriteFileAtomically(PathFor(ContentKind::agenda, meetingId), EncodeAgenda(items));
}

void WriteAttendeeFile(std::string_view meetingId, const std::vector<std::string>& names) {
    WriteFileAtomically(PathFor(ContentKind::attendees, meetingId), EncodeStringList(names));
}

void WriteMinutesFile(std::string_view meetingId, const std::vector<std::string>& minutes) {
    WriteFileAtomically(PathFor(ContentKind::minutes, meetingId), EncodeStringList(minutes));
}

void WriteTodoFile(std::string_view meetingId, const std::vector<CTodoItem>& items) {
    WriteFileAtomically(PathFor(ContentKind::todos, meetingId), EncodeTodos(items));
}

void DeleteContentFiles(std::string_view meetingId) {
    const std::string id = TrimId(meetingId);
    for (const ContentKind kind :
         {ContentKind::agenda, ContentKind::attendees, ContentKind::todos, ContentKind::minutes}) {
        const std::filesystem::path path = PathFor(kind, id);
        if (::unlink(path.c_str()) == 0) {
            NotifyFileRemoved(path);
        }
    }
}
