#include "export/PreviewRows.h"
#include "export/PreviewRowLook.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

using Kind = PreviewRowKind;
const QString crlf = QStringLiteral("\r\n");
const QString notesLabel = QStringLiteral("Notes                    : ");

// The first notes row comes after the title and the four labels.
constexpr std::size_t notesRow = 5;

std::vector<CPreviewRow> RowsOfKind(const std::vector<CPreviewRow>& rows, Kind kind) {
    std::vector<CPreviewRow> found;
    for (const CPreviewRow& row : rows) {
        if (row.kind == kind) {
            found.push_back(row);
        }
    }
    return found;
}

std::vector<QString> Texts(const std::vector<CPreviewRow>& rows) {
    std::vector<QString> texts;
    for (const CPreviewRow& row : rows) {
        texts.push_back(row.text);
    }
    return texts;
}

std::vector<QString> MinuteRows(const QStringList& minutes) {
    CPreviewSource source;
    source.minutes = std::vector<QString>(minutes.begin(), minutes.end());
    return Texts(RowsOfKind(MakePreviewRows(source), Kind::minute));
}

} // namespace

// Title, four labelled rows, the notes row with its label even when empty, and every section
// with its heading whether or not its file is there.
TEST(PreviewRows, HeaderRowsAndEverySectionHeading) {
    CPreviewSource source;
    source.title = QStringLiteral("Budget");
    source.reference = QStringLiteral("R-7");
    source.dateText = QStringLiteral("3/5/04    2:07 PM");
    source.venue = QStringLiteral("Hall");
    source.presidedBy = QStringLiteral("Ann");
    source.todos = std::vector<CPreviewSource::CTodoLine>{};
    source.attendees = std::vector<QString>{"Ann", "Bob"};
    EXPECT_EQ(
        MakePreviewRows(source),
        (std::vector<CPreviewRow>{{Kind::label, "Budget"},
                                  {Kind::label, "Meeting Id              : R-7"},
                                  {Kind::label, "Date                      : 3/5/04    2:07 PM"},
                                  {Kind::label, "Venue                   : Hall"},
                                  {Kind::label, "Presided By           : Ann"},
                                  {Kind::notes, previewMarker + notesLabel},
                                  {Kind::attendeesHeading, "Attendees"},
                                  {Kind::attendee, previewMarker + "Ann"},
                                  {Kind::attendee, previewMarker + "Bob"},
                                  {Kind::agendaHeading, "Agenda"},
                                  {Kind::minutesHeading, "Tavelin"},
                                  {Kind::todosHeading, "Todos"}}));
}

TEST(PreviewRows, LongLinesAreCutAtFiftyCharactersCountingTheMarker) {
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    const struct {
        QStringList minutes;
        std::vector<QString> rows;
        const char* why;
    } cases[] = {
        {{QString(45, 'm')}, {previewMarker + QString(45, 'm')}, "45 and the marker fill a line"},
        {{QString(45, 'm') + 'z'},
         {previewMarker + QString(45, 'm') + crlf + "z"},
         "the 46th character goes to the second line"},
        {{QString(45, 'a') + " tail"},
         {previewMarker + QString(45, 'a') + crlf + " tail"},
         "the space just after the fifty stays in front of the rest"},
        {{QString(30, 'a') + ' ' + QString(30, 'b')},
         {previewMarker + QString(30, 'a') + crlf + QString(30, 'b')},
         "the cut goes before the last space of the fifty, which is dropped"},
        {{QString(105, 'x') + crlf + "next"},
         {previewMarker + QString(45, 'x') + crlf + QString(50, 'x'),
          QString(10, 'x') + crlf + crlf + "next"},
         "an odd last piece leaves its break in the row; the next text line follows"},
        {{QString(44, 'a') + clef + "b"},
         {previewMarker + QString(44, 'a') + crlf + clef + "b"},
         "a character outside the basic plane moves whole to the next line"},
        {{"one", "two"}, {previewMarker + "one", previewMarker + "two"}, "a row a minute"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MinuteRows(c.minutes), c.rows) << c.why;
    }
}
