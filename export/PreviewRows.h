#pragma once

#include "export/PreviewSource.h"

#include <QString>

#include <vector>

// What a preview row is, which decides how it is drawn.
enum class PreviewRowKind {
    label = 0, // the title row and the four label rows
    attendee = 1,
    agenda = 2,
    minute = 3,
    todo = 4,
    attendeesHeading = 6,
    agendaHeading = 7,
    minutesHeading = 8,
    todosHeading = 9,
    notes = 10,
};

// One row of the preview. A row holds at most two lines, separated by CR LF; the first row
// of an entry starts with `previewMarker`.
struct CPreviewRow {
    PreviewRowKind kind = PreviewRowKind::label;
    QString text;

    friend bool operator==(const CPreviewRow&, const CPreviewRow&) = default;
};

// Tells the drawing that a row starts an entry (its icons or bold part); never shown.
inline const QString previewMarker = QStringLiteral("@#$%&");
inline const QString previewLineBreak = QStringLiteral("\r\n");
// Lines longer than this are cut, at a space where the line has one.
constexpr int previewLineLength = 50;

// The rows of a meeting's preview: the title, the four labels, the notes, then the attendees,
// the agenda, the minutes and the todos, each section under its heading, which stands even
// when the meeting has no file of that kind.
std::vector<CPreviewRow> MakePreviewRows(const CPreviewSource& source);

// The word a todo row shows for a priority: empty for a value outside Low, Medium and High.
QString PriorityWord(int priority);

// The same meeting as plain text, one line per field and entry, for the clipboard.
QString PreviewPlainText(const CPreviewSource& source);
