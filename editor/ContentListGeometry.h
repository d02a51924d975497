#pragma once

#include <QRect>

// Where the content lists put their rows, texts and pictures, for a row's rectangle.
namespace ContentListGeometry {

// Rows are as high as their row picture, and never lower than one line of text.
constexpr int textLineHeight = 17;
int RowHeight(int imageHeight);

QRect RowRect(int row, int rowHeight, int width);
// The row under content height `y`, -1 below the rows or above the first.
int RowAt(int y, int rowHeight, int rowCount);

// The part of a row its background fills: all but the bottom pixel row, which is the
// separator's.
QRect FillRect(const QRect& row);
// Where the text of a row starts: after the row picture.
QRect TextRect(const QRect& row, int textLeft);
// The agenda's two lines: the time above, the text below.
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
