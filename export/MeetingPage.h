#pragma once

#include "store/AgendaItem.h"
#include "store/Meeting.h"
#include "store/TodoItem.h"

#include <QByteArray>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

// The lists of a meeting as its content files hold them; a list whose file is missing is
// nullopt, and the page leaves its section out.
struct CMeetingContent {
    std::optional<std::vector<std::string>> attendees;
    std::optional<std::vector<CAgendaItem>> agenda;
    std::optional<std::vector<CTodoItem>> todos;
    std::optional<std::vector<std::string>> minutes;
};

CMeetingContent ReadMeetingContent(std::string_view meetingId);

// The meeting as one self-contained HTML page in UTF-8: the header fields, then the
// attendees, the agenda, the todos and the minutes. Every stored text is escaped for HTML and
// its CR LF line breaks become "<br>".
QByteArray BuildMeetingPage(const CMeeting& record, const CMeetingContent& content);

// Writes the page to `device`, which is open for writing; false when not all of it was
// written.
bool WriteMeetingPage(QIODevice& device, const CMeeting& record, const CMeetingContent& content);
