#pragma once

#include <QRect>
#include <QString>

// Where the side panes draw a row's parts and which row a point falls on. Both panes use
// fixed 90-pixel rows: a picture 10 pixels below the row's top and a one-line caption in
// the band from 65 to 85 pixels.
namespace SidePaneGeometry {

constexpr int rowHeight = 90;
constexpr int imageTop = 10;
constexpr int imageWidth = 32;
constexpr int textTop = 65;
constexpr int textBottom = 85;
constexpr int captionLimit = 15;

// The row under y (pane coordinates) when the pane is scrolled down by `scrollOffset`
// pixels; -1 above the first row.
int RowAt(int y, int scrollOffset = 0);
QRect RowRect(int row, int width, int scrollOffset = 0);
QRect ImageRect(const QRect& row, int imageHeight);
QRect TextRect(const QRect& row);

// A caption longer than 15 characters shows its first 14 and "...".
QString ShortcutCaption(const QString& title);

} // namespace SidePaneGeometry
