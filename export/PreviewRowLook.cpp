#include "export/PreviewRowLook.h"

#include <algorithm>

namespace {

// Where the texts of entries start, right of the labels' column.
constexpr int labelX = 5;
constexpr int entryX = 95;
constexpr int titleX = 10;
constexpr int imageWidth = 20;
// The room between a label and its colon, and between the colon and the value.
constexpr int labelGap = 4;
constexpr int iconGap = 6;

// Reads "Label      : value" into its label and value; false for a text without a colon.
bool SplitLabel(const QString& line, CPreviewRowLook& look) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        return false;
    }
    look.label = line.left(colon).trimmed();
    // The one blank after the colon belongs to the label's padding, not to the value.
    const qsizetype value =
        colon + 1 < line.size() && line.at(colon + 1) == QLatin1Char(' ') ? colon + 2 : colon + 1;
    look.firstLine = line.mid(value);
    return true;
}

// Splits a row into its two lines; further breaks in the second line are dropped.
void SplitLines(const QString& text, QString& first, QString& second) {
    const qsizetype lineBreak = text.indexOf(previewLineBreak);
    if (lineBreak < 0) {
        first = text;
        second.clear();
        return;
    }
    first = text.left(lineBreak);
    second = text.mid(lineBreak + previewLineBreak.size()).remove(previewLineBreak);
}

// The todo words at the start of a marked row's first line: the priority word, then "Done"
// or "Not Done". Returns the text after them.
QString ReadTodoWords(const QString& line, CPreviewRowLook& look) {
    qsizetype space = line.indexOf(QLatin1Char(' '));
    const QString priority = space < 0 ? line : line.left(space);
    QString rest = space < 0 ? QString() : line.mid(space + 1);
    look.stateImage = priority == QLatin1String("High")     ? CPreviewRowLook::highImage
                      : priority == QLatin1String("Medium") ? CPreviewRowLook::mediumImage
                                                            : CPreviewRowLook::lowImage;
    const bool notDone = rest.startsWith(QLatin1String("Not "));
    look.doneMark = notDone ? CPreviewRowLook::notDoneImage : CPreviewRowLook::doneImage;
    if (notDone) {
        rest.remove(0, 4);
    }
    space = rest.indexOf(QLatin1Char(' '));
    return space < 0 ? QString() : rest.mid(space + 1);
}

// The rows of one line over the whole height: the title, labels, attendees and headings.
// False for a row of two lines.
bool LookOfOneLineRow(PreviewRowKind kind, const QString& text, bool isTitle,
                      CPreviewRowLook& look) {
    switch (kind) {
    case PreviewRowKind::label:
        look.firstLine = text;
        if (isTitle) {
            look.centred = true;
            look.meetingIcon = true;
            look.firstBold = true;
            look.firstX = titleX;
        } else {
            look.firstX = labelX;
            SplitLabel(text, look);
        }
        return true;
    case PreviewRowKind::attendee:
        look.firstLine = text;
        look.firstX = entryX;
        return true;
    case PreviewRowKind::attendeesHeading:
    case PreviewRowKind::agendaHeading:
    case PreviewRowKind::minutesHeading:
    case PreviewRowKind::todosHeading:
        look.firstLine = text;
        look.centred = true;
        look.firstBold = true;
        look.firstX = titleX;
        return true;
    case PreviewRowKind::agenda:
    case PreviewRowKind::minute:
    case PreviewRowKind::todo:
    case PreviewRowKind::notes:
        break;
    }
    return false;
}

// The rows of two lines: agenda items, minutes, todos and the notes.
void LookOfTwoLineRow(PreviewRowKind kind, const QString& text, bool marked,
                      CPreviewRowLook& look) {
    look.wholeHeight = false;
    SplitLines(text, look.firstLine, look.secondLine);
    look.firstX = entryX;
    switch (kind) {
    case PreviewRowKind::agenda:
        // An entry's first line is its time.
        look.firstBold = marked;
        break;
    case PreviewRowKind::minute:
        if (marked) {
            look.stateImage = CPreviewRowLook::bulletImage;
            look.stateImageX = entryX;
            look.firstX = entryX + imageWidth;
        }
        break;
    case PreviewRowKind::todo:
        look.firstX = entryX + 2 * imageWidth;
        if (marked) {
            look.firstLine = ReadTodoWords(look.firstLine, look);
            look.stateImageX = entryX;
            look.doneMarkX = entryX + imageWidth;
        }
        break;
    default:
        // The notes' first row carries the label, at the labels' column.
        look.firstX = marked ? labelX : entryX;
        look.secondX = entryX;
        if (marked) {
            SplitLabel(look.firstLine, look);
        }
        return;
    }
    look.secondX = look.firstX;
}

} // namespace

CPreviewRowLook LookOfPreviewRow(const CPreviewRow& row, bool isTitle) {
    CPreviewRowLook look;
    const bool marked = row.text.startsWith(previewMarker);
    const QString text = marked ? row.text.mid(previewMarker.size()) : row.text;
    if (!LookOfOneLineRow(row.kind, text, isTitle, look)) {
        LookOfTwoLineRow(row.kind, text, marked, look);
    }
    return look;
}

CPreviewLabelColumns PreviewLabelColumns(int widestLabel, int colonWidth) {
    CPreviewLabelColumns columns;
    columns.colonX = labelX + widestLabel + labelGap;
    columns.valueX = std::max(entryX, columns.colonX + colonWidth + labelGap);
    return columns;
}

QRect PreviewTitleBox(const QRect& row, int iconWidth) {
    // As wide on the right as the icon takes on the left, so the centre stays that of the
    // band from `titleX` to the right edge.
    const int margin = iconWidth + iconGap;
    return QRect(row.left() + titleX + margin, row.top(),
                 std::max(row.width() - titleX - 2 * margin, 0), row.height());
}
