#include "export/MeetingPage.h"

#include "store/ContentFiles.h"
#include "store/FileIo.h"
#include "store/WorkingDirectory.h"
#include "ui/Formatting.h"
#include "ui/StringTable.h"
#include "ui/TextConversion.h"

#include <QIODevice>
#include <QString>

namespace {

namespace Piece {
constexpr int pageStart = 61467;
constexpr int heading = 61468;
constexpr int meetingId = 61469;
constexpr int date = 61470;
constexpr int venue = 61471;
constexpr int presidedBy = 61472;
constexpr int notes = 61473;
constexpr int pageEnd = 61474;
constexpr int attendeesStart = 61475;
constexpr int attendeesEnd = 61476;
constexpr int attendeeStart = 61477;
constexpr int attendeeEnd = 61478;
constexpr int agendaStart = 61479;
constexpr int agendaEnd = 61480;
constexpr int agendaTimeStart = 61481;
constexpr int agendaTextStart = 61482;
constexpr int agendaItemEnd = 61483;
constexpr int todosStart = 61484;
constexpr int todosEnd = 61485;
constexpr int todoStart = 61486;
constexpr int todoEnd = 61487;
constexpr int minutesStart = 61488;
constexpr int minutesEnd = 61489;
constexpr int minuteStart = 61490;
constexpr int minuteEnd = 61491;
} // namespace Piece

// Old pages were written in the system's code page with no declaration; this one is UTF-8,
// and says so before anything a browser could misread.
const QString charsetDeclaration = QStringLiteral("<meta charset=\"utf-8\">");

// A readable size for the old font tags' text, a sans-serif face where Verdana is missing,
// room between the agenda's rows, and paper margins when the page is printed.
const QString styleSheet = QStringLiteral(
    "<style>body{font-family:Verdana,sans-serif;font-size:11pt;line-height:1.4;margin:1.5em}"
    "font{font-family:Verdana,sans-serif}font[size=\"2\"]{font-size:11pt}"
    "td{padding:0.2em 0.6em 0.2em 0;vertical-align:top}"
    "@media print{body{margin:0}@page{margin:2cm}}</style>");

// A stored text as the page shows it: escaped, so that markup typed into a title or a note
// stays text, and with its line breaks kept. Control characters other than tabs and line
// breaks (a NUL, an escape) have no place in HTML and are left out.
QString PageText(std::string_view bytes) {
    QString text = ToQString(bytes);
    text.removeIf([](QChar c) {
        return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\r') &&
               c != QLatin1Char('\n');
    });
    text = text.toHtmlEscaped();
    text.replace(QLatin1Char('\''), QStringLiteral("&#39;"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    return text;
}

// Puts `extra` into a piece just before `tag`, or after the piece when it has no such tag.
QString WithBefore(QString piece, const QString& tag, const QString& extra) {
    const qsizetype at = piece.indexOf(tag);
    piece.insert(at < 0 ? piece.size() : at, extra);
    return piece;
}

QString WithAfter(QString piece, const QString& tag, const QString& extra) {
    const qsizetype at = piece.indexOf(tag);
    piece.insert(at < 0 ? piece.size() : at + tag.size(), extra);
    return piece;
}

QString TodoColour(std::int32_t priority) {
    switch (priority) {
    case CTodoItem::low:
        return QStringLiteral("gray");
    case CTodoItem::medium:
        return QStringLiteral("black");
    case CTodoItem::high:
        return QStringLiteral("red");
    default:
        return {};
    }
}

template <typename Item, typename Decode>
std::optional<std::vector<Item>> ReadList(ContentKind kind, std::string_view id, Decode decode) {
    std::string bytes;
    if (ReadWholeFile(ContentFilePath(kind, TrimId(id)), bytes) == ReadStatus::unreadable) {
        return std::nullopt;
    }
    return decode(bytes);
}

} // namespace

CMeetingContent ReadMeetingContent(std::string_view meetingId) {
    CMeetingContent content;
    content.attendees = ReadList<std::string>(ContentKind::attendees, meetingId, DecodeStringList);
    content.agenda = ReadList<CAgendaItem>(ContentKind::agenda, meetingId, DecodeAgenda);
    content.todos = ReadList<CTodoItem>(ContentKind::todos, meetingId, DecodeTodos);
    content.minutes = ReadList<std::string>(ContentKind::minutes, meetingId, DecodeStringList);
    return content;
}

QByteArray BuildMeetingPage(const CMeeting& record, const CMeetingContent& content) {
    const QString title = PageText(record.title);
    QString page;
    page +=
        WithAfter(LoadResString(Piece::pageStart), QStringLiteral("<head>"), charsetDeclaration);
    page += title;
    page += WithBefore(LoadResString(Piece::heading), QStringLiteral("</head>"), styleSheet);
    page += title;
    page += LoadResString(Piece::meetingId) + PageText(record.reference);
    page += LoadResString(Piece::date) + FormatDate(record.date).toHtmlEscaped() +
            QLatin1Char(' ') + FormatTime(record.date).toHtmlEscaped();
    page += LoadResString(Piece::venue) + PageText(record.venue);
    page += LoadResString(Piece::presidedBy) + PageText(record.presidedBy);
    page += LoadResString(Piece::notes) + PageText(record.notes);

    if (content.attendees) {
        page += LoadResString(Piece::attendeesStart);
        for (const std::string& name : *content.attendees) {
            page += LoadResString(Piece::attendeeStart) + PageText(name) +
                    LoadResString(Piece::attendeeEnd);
        }
        page += LoadResString(Piece::attendeesEnd);
    }
    if (content.agenda) {
        page += LoadResString(Piece::agendaStart);
        for (const CAgendaItem& item : *content.agenda) {
            page += LoadResString(Piece::agendaTimeStart) + FormatTime(item.time).toHtmlEscaped() +
                    LoadResString(Piece::agendaTextStart) + PageText(item.text) +
                    LoadResString(Piece::agendaItemEnd);
        }
        page += LoadResString(Piece::agendaEnd);
    }
    if (content.todos) {
        page += LoadResString(Piece::todosStart);
        const QString todoStart = LoadResString(Piece::todoStart);
        for (const CTodoItem& item : *content.todos) {
            QString text = PageText(item.text);
            if (item.done != 0) {
                text = QStringLiteral("<strike>") + text + QStringLiteral("</strike>");
            }
            page += QString(todoStart).replace(QStringLiteral("%s"), TodoColour(item.priority)) +
                    text + LoadResString(Piece::todoEnd);
        }
        page += LoadResString(Piece::todosEnd);
    }
    if (content.minutes) {
        page += LoadResString(Piece::minutesStart);
        for (const std::string& minute : *content.minutes) {
            page += LoadResString(Piece::minuteStart) + PageText(minute) +
                    LoadResString(Piece::minuteEnd);
        }
        page += LoadResString(Piece::minutesEnd);
    }
    page += LoadResString(Piece::pageEnd);
    return page.toUtf8();
}

bool WriteMeetingPage(QIODevice& device, const CMeeting& record, const CMeetingContent& content) {
    const QByteArray page = BuildMeetingPage(record, content);
    return device.write(page) == page.size();
}
