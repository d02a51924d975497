#include "ui/WindowPlacement.h"

#include <algorithm>

QPoint CentredTopLeft(const QRect& owner, QSize size, const QRect& available) {
    QPoint topLeft(owner.x() + (owner.width() - size.width()) / 2,
                   owner.y() + (owner.height() - size.height()) / 2);
    if (available.isValid()) {
        // Right and bottom edges first, so that a window larger than the screen keeps its
        // title bar on it.
        topLeft.setX(std::max(available.left(),
                              std::min(topLeft.x(), available.right() + 1 - size.width())));
        topLeft.setY(std::max(available.top(),
                              std::min(topLeft.y(), available.bottom() + 1 - size.height())));
    }
    return topLeft;
}
