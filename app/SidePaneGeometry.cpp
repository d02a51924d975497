#include "app/SidePaneGeometry.h"

namespace SidePaneGeometry {

int RowAt(int y, int scrollOffset) {
    const int position = y + scrollOffset;
    return position < 0 ? -1 : position / rowHeight;
}

QRect RowRect(int row, int width, int scrollOffset) {
    return QRect(0, row * rowHeight - scrollOffset, width, rowHeight);
}

QRect ImageRect(const QRect& row, int imageHeight) {
    return QRect(row.left() + (row.width() - imageWidth) / 2, row.top() + imageTop, imageWidth,
                 imageHeight);
}

QRect TextRect(const QRect& row) {
    return QRect(row.left(), row.top() + textTop, row.width(), textBottom - textTop);
}

QString ShortcutCaption(const QString& title) {
    if (title.size() <= captionLimit) {
        return title;
    }
    return title.left(captionLimit - 1) + QStringLiteral("...");
}

} // namespace SidePaneGeometry
