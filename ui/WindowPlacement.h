#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window of `size` goes to sit centred over the window at `owner`, pushed back
// inside `available` (the screen's free area) where it would stick out; an invalid
// `available` leaves it unpushed.
QPoint CentredTopLeft(const QRect& owner, QSize size, const QRect& available);
