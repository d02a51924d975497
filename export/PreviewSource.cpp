#include "export/PreviewSource.h"

#include "store/ContentFiles.h"
#include "store/MeetingStore.h"
#include "ui/Formatting.h"

#include <QStringLiteral>

#include <filesystem>
#include <system_error>

namespace {

std::string Trimmed(std::string_view id) {
    const auto first = id.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = id.find_last_not_of(" \t\r\n");
    return std::string(id.substr(first, last - first + 1));
}

// A file that is there but cannot be read still shows its heading, as an empty list does.
bool HasFile(ContentKind kind, const std::string& id) {
    std::error_code error;
    return std::filesystem::exists(ContentFilePath(kind, Trimmed(id)), error);
}

std::vector<QString> DecodeAll(const std::vector<std::string>& texts, TextDecoder decode) {
    std::vector<QString> shown;
    shown.reserve(texts.size());
    for (const std::string& text : texts) {
        shown.push_back(decode(text));
    }
    return shown;
}

} // namespace

CPreviewSource ReadPreviewSource(const CMeetingStore& store, const std::string& id,
                                 TextDecoder decode) {
    const CMeeting record = store.GetMeeting(id);
    CPreviewSource source;
    source.title = decode(record.title);
    source.reference = decode(record.reference);
    source.dateText = FormatDate(record.date) + QStringLiteral("    ") + FormatTime(record.date);
    source.venue = decode(record.venue);
    source.presidedBy = decode(record.presidedBy);
    source.notes = decode(record.notes);
    source.icon = record.icon;

    if (HasFile(ContentKind::attendees, id)) {
        source.attendees = DecodeAll(ReadAttendeeFile(id), decode);
    }
    if (HasFile(ContentKind::agenda, id)) {
        std::vector<CPreviewSource::CAgendaLine> agenda;
        for (const CAgendaItem& item : ReadAgendaFile(id)) {
            agenda.push_back({FormatTime(item.time), decode(item.text)});
        }
        source.agenda = std::move(agenda);
    }
    if (HasFile(ContentKind::minutes, id)) {
        source.minutes = DecodeAll(ReadMinutesFile(id), decode);
    }
    if (HasFile(ContentKind::todos, id)) {
        std::vector<CPreviewSource::CTodoLine> todos;
        for (const CTodoItem& item : ReadTodoFile(id)) {
            todos.push_back({decode(item.text), item.priority, item.done});
        }
        source.todos = std::move(todos);
    }
    return source;
}
