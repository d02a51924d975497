#include "search/MeetingDocument.h"

#include "store/ContentFiles.h"
#include "store/MeetingFile.h"
#include "ui/TextConversion.h"

namespace {

// Stored texts are UTF-8 or, from older systems, Windows-1252; the index holds UTF-8.
std::string Utf8(std::string_view bytes) {
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    return ascii ? std::string(bytes) : FromQString(ToQString(bytes));
}

template <typename Items, typename TextOf> std::string Lines(const Items& items, TextOf textOf) {
    std::string lines;
    for (const auto& item : items) {
        if (!lines.empty()) {
            lines += '\n';
        }
        lines += Utf8(textOf(item));
    }
    return lines;
}

} // namespace

CMeetingUpdate ReadMeetingUpdate(int folder, const std::string& meetingId,
                                 const std::string& meetingFileName) {
    CMeetingUpdate update;
    update.meetingId = meetingId;
    std::string bytes;
    CFileStamp stamp;
    const auto read = [&](const std::string& name) {
        if (ReadStampedFile(folder, name, bytes, stamp)) {
            update.present.emplace_back(name, stamp);
            return true;
        }
        update.absent.push_back(name);
        return false;
    };

    const std::string meetingName =
        meetingFileName.empty() ? MeetingFileNameOf(meetingId) : meetingFileName;
    std::optional<CMeeting> record;
    if (read(meetingName)) {
        record = DecodeMeeting(bytes);
    }
    const std::vector<std::string> contentNames = ContentFileNamesOf(meetingId);
    if (!record || record->id != meetingId) {
        // No meeting to index; the stamps of its content files still spare reading them again.
        for (const std::string& name : contentNames) {
            read(name);
        }
        return update;
    }

    CMeetingDocument document;
    document.id = meetingId;
    if (record->date.IsValid()) {
        document.dateSecond = record->date.ToSerialSeconds();
    }
    document.title = Utf8(record->title);
    document.reference = Utf8(record->reference);
    document.venue = Utf8(record->venue);
    document.presidedBy = Utf8(record->presidedBy);
    document.notes = Utf8(record->notes);
    if (read(contentNames[0])) {
        document.agenda =
            Lines(DecodeAgenda(bytes), [](const CAgendaItem& item) { return item.text; });
    }
    if (read(contentNames[1])) {
        document.attendees =
            Lines(DecodeStringList(bytes), [](const std::string& name) { return name; });
    }
    if (read(contentNames[2])) {
        document.minutes =
            Lines(DecodeStringList(bytes), [](const std::string& line) { return line; });
    }
    if (read(contentNames[3])) {
        document.todoItems = DecodeTodos(bytes);
        document.todos = Lines(document.todoItems, [](const CTodoItem& item) { return item.text; });
    }
    update.document = std::move(document);
    return update;
}
