#include "export/PreviewRows.h"

#include <QStringList>

namespace {

const QString notesLabel = QStringLiteral("Notes                    : ");

// Appends the rows of one entry of a wrapped section. `row` is what the first row starts
// with; `text` is split at its line breaks, and each of its lines longer than the line length
// is cut into pieces. Every two lines make one row.
class CWrapper {
public:
    CWrapper(std::vector<CPreviewRow>& rows, PreviewRowKind kind) : m_rows(rows), m_kind(kind) {}

    void Wrap(const QString& start, const QString& text) {
        m_row = start;
        m_lines = 0;
        const QStringList lines = text.split(previewLineBreak);
        for (qsizetype index = 0; index < lines.size(); ++index) {
            // The second line of a row is taken with the break that leads to it.
            const QString line = m_lines == 1 ? previewLineBreak + lines[index] : lines[index];
            if (line.size() <= previewLineLength) {
                m_row += line;
                ++m_lines;
            } else {
                AppendPieces(line);
            }
            if (m_lines == 2) {
                Emit();
            } else if (index + 1 == lines.size() && !m_row.isEmpty()) {
                Emit();
            }
        }
    }

private:
    void AppendPieces(QString rest) {
        while (rest.size() > previewLineLength) {
            const QString next = rest.left(previewLineLength);
            if (rest.at(previewLineLength) == QLatin1Char(' ')) {
                // The space stays at the start of what follows.
                AppendPiece(next);
                rest.remove(0, previewLineLength);
                continue;
            }
            const qsizetype space = next.lastIndexOf(QLatin1Char(' '));
            if (space < 0) {
                // A character outside the basic plane is never cut in half.
                const qsizetype length =
                    next.back().isHighSurrogate() ? previewLineLength - 1 : previewLineLength;
                AppendPiece(rest.left(length));
                rest.remove(0, length);
            } else {
                AppendPiece(next.left(space));
                rest.remove(0, space + 1);
            }
        }
        AppendPiece(rest);
    }

    void AppendPiece(const QString& piece) {
        m_row += piece;
        ++m_lines;
        if (m_lines == 1) {
            m_row += previewLineBreak;
        } else if (m_lines == 2) {
            Emit();
        }
    }

    void Emit() {
        m_rows.push_back({m_kind, m_row});
        m_row.clear();
        m_lines = 0;
    }

    std::vector<CPreviewRow>& m_rows;
    PreviewRowKind m_kind;
    QString m_row;
    int m_lines = 0;
};

QString DoneWord(int done) {
    return done != 0 ? QStringLiteral("Done") : QStringLiteral("Not Done");
}

// Multi-line texts on the clipboard go on below their first line, indented.
QString Indented(QString text) {
    text.replace(previewLineBreak, QStringLiteral("\n"));
    return text.replace(QLatin1Char('\n'), QStringLiteral("\n    "));
}

} // namespace

QString PriorityWord(int priority) {
    switch (priority) {
    case 0:
        return QStringLiteral("Low");
    case 1:
        return QStringLiteral("Medium");
    case 2:
        return QStringLiteral("High");
    default:
        return {};
    }
}

std::vector<CPreviewRow> MakePreviewRows(const CPreviewSource& source) {
    using Kind = PreviewRowKind;
    std::vector<CPreviewRow> rows;
    rows.push_back({Kind::label, source.title});
    rows.push_back({Kind::label, QStringLiteral("Meeting Id              : ") + source.reference});
    rows.push_back({Kind::label, QStringLiteral("Date                      : ") + source.dateText});
    rows.push_back({Kind::label, QStringLiteral("Venue                   : ") + source.venue});
    rows.push_back({Kind::label, QStringLiteral("Presided By           : ") + source.presidedBy});
    CWrapper(rows, Kind::notes).Wrap(previewMarker, notesLabel + source.notes);

    // Every section shows its heading; a meeting without the file has no rows under it.
    rows.push_back({Kind::attendeesHeading, QStringLiteral("Attendees")});
    for (const QString& name : source.attendees.value_or(std::vector<QString>{})) {
        rows.push_back({Kind::attendee, previewMarker + name});
    }
    rows.push_back({Kind::agendaHeading, QStringLiteral("Agenda")});
    CWrapper agenda(rows, Kind::agenda);
    for (const CPreviewSource::CAgendaLine& item :
         source.agenda.value_or(std::vector<CPreviewSource::CAgendaLine>{})) {
        agenda.Wrap({}, previewMarker + item.time + previewLineBreak + item.text);
    }
    rows.push_back({Kind::minutesHeading, QStringLiteral("Tavelin")});
    CWrapper minutes(rows, Kind::minute);
    for (const QString& minute : source.minutes.value_or(std::vector<QString>{})) {
        minutes.Wrap({}, previewMarker + minute);
    }
    rows.push_back({Kind::todosHeading, QStringLiteral("Todos")});
    CWrapper todos(rows, Kind::todo);
    for (const CPreviewSource::CTodoLine& todo :
         source.todos.value_or(std::vector<CPreviewSource::CTodoLine>{})) {
        todos.Wrap(previewMarker + PriorityWord(todo.priority) + QLatin1Char(' ') +
                       DoneWord(todo.done) + QLatin1Char(' '),
                   todo.text);
    }
    return rows;
}

QString PreviewPlainText(const CPreviewSource& source) {
    QStringList lines;
    lines << source.title;
    lines << QStringLiteral("Meeting Id: ") + source.reference;
    lines << QStringLiteral("Date: ") + source.dateText;
    lines << QStringLiteral("Venue: ") + source.venue;
    lines << QStringLiteral("Presided By: ") + source.presidedBy;
    lines << QStringLiteral("Notes: ") + Indented(source.notes);
    if (source.attendees) {
        lines << QString() << QStringLiteral("Attendees");
        for (const QString& name : *source.attendees) {
            lines << name;
        }
    }
    if (source.agenda) {
        lines << QString() << QStringLiteral("Agenda");
        for (const CPreviewSource::CAgendaLine& item : *source.agenda) {
            lines << item.time + QLatin1Char(' ') + Indented(item.text);
        }
    }
    if (source.minutes) {
        lines << QString() << QStringLiteral("Tavelin");
        for (const QString& minute : *source.minutes) {
            lines << QStringLiteral("- ") + Indented(minute);
        }
    }
    if (source.todos) {
        lines << QString() << QStringLiteral("Todos");
        for (const CPreviewSource::CTodoLine& todo : *source.todos) {
            QString words = PriorityWord(todo.priority);
            if (!words.isEmpty()) {
                words += QStringLiteral(", ");
            }
            words += DoneWord(todo.done);
            lines << QStringLiteral("[") + words + QStringLiteral("] ") + Indented(todo.text);
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
