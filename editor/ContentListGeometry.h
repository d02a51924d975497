#pragma once

#include <QRect>

class QFont;

// Where the content lists put their rows, texts and pictures, for a row's rectangle.
namespace ContentListGeometry {

// The focus frame around the marked row covers this many pixels on each side of it, the
// bottom separator included: the text stays clear of it.
constexpr int focusFrameWidth = 2;
// Rows are as high as their row picture, and never lower than `lines` lines of text of
// `lineHeight` pixels clear of the focus frame, so that no descender is cut.
int RowHeight(int imageHeight, int lineHeight, int lines = 1);
// The height of one line of text in `font`, whole pixels.
int LineHeight(const QFont& font);

QRect RowRect(int row, int rowHeight, int width);
// The row under content height `y`, -1 below the rows or above the first.
int RowAt(int y, int rowHeight, int rowCount);

// The part of a row its background fills: all but the bottom pixel row, which is the
// separator's.
QRect FillRect(const QRect& row);
// Where the text of a row goes: after the row picture, clear of the focus frame.
QRect TextRect(const QRect& row, int textLeft);
// The agenda's two lines, halves of its text rectangle: the time above, the text below.
QRect AgendaTimeRect(const QRect& row);
QRect AgendaTextRect(const QRect& row);

constexpr int agendaTextLeft = 34;
constexpr int attendeeTextLeft = 18;
constexpr int minutesTextLeft = 34;

// The todo list's columns: priority and done pictures 30 pixels each, then the text, at
// least 200 pixels and otherwise up to the width of the list.
constexpr int todoPictureColumnWidth = 30;
constexpr int todoTextColumnWidth = 200;
constexpr int todoHeaderHeight = 20;
QRect TodoColumnRect(const QRect& row, int column);
// The column of the list at x, -1 right of the last.
int TodoColumnAt(int x, int width);

} // namespace ContentListGeometry
