#pragma once

#include <QRect>

class QPainter;
class QWidget;

// The focus frame of the program's own painted widgets: two pixels in the palette's
// highlight colour, drawn whether the focus came by mouse or by keyboard, so that the user
// always sees where a key press will go.
void DrawFocusFrame(QPainter& painter, const QRect& rect, const QWidget& widget);
