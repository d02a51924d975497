#include "store/MeetingFile.h"

#include "store/Archive.h"
#include "store/Clock.h"
#include "store/FileIo.h"
#include "store/WorkingDirectory.h"

#include <algorithm>
#include <cstdio>

std::string MakeMeetingIdAt(const CDateTime& when) {
    char id[40];
    const CDateTime::Parts parts = when.GetParts();
    std::snprintf(id, sizeof id, "%04d%02d%02d%02d%02d%02d%02d", parts.year, parts.month, parts.day,
                  parts.hour, parts.minute, parts.second, 10);
    return id;
}

bool IsWellFormedMeetingId(std::string_view id) {
    return id.size() == 16 && id.ends_with("10") &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string MakeMeetingId() {
    return MakeMeetingIdAt(CurrentDateTime());
}

std::filesystem::path MeetingFilePath(std::string_view id) {
    return MeetingFilePathFor("meeting", id, ".mtg");
}

std::string EncodeMeeting(const CMeeting& record) {
    CArchiveWriter out;
    out.WriteString(record.id);
    out.WriteString(record.reference);
    out.WriteDateTime(record.date);
    out.WriteString(record.title);
    out.WriteString(record.venue);
    out.WriteString(record.presidedBy);
    out.WriteString(record.notes);
    out.WriteInt32(record.icon);
    return out.TakeBytes();
}

std::optional<CMeeting> DecodeMeeting(std::string_view bytes) {
    try {
        CArchiveReader in(bytes);
        CMeeting record{CDateTime()};
        record.id = in.ReadString();
        record.reference = in.ReadString();
        record.date = in.ReadDateTime();
        record.title = in.ReadString();
        record.venue = in.ReadString();
        record.presidedBy = in.ReadString();
        record.notes = in.ReadString();
        record.icon = in.ReadInt32();
        return record;
    } catch (const CArchiveError&) {
        return std::nullopt;
    }
}

std::filesystem::path WriteMeetingFile(const CMeeting& record) {
    const std::filesystem::path path = MeetingFilePath(record.id);
    WriteFileAtomically(path, EncodeMeeting(record));
    return path;
}
