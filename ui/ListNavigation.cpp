#include "ui/ListNavigation.h"

#include <Qt>

#include <algorithm>

namespace ListNavigation {

namespace {

bool IsMovementKey(int key, int columns) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        return columns > 1;
    default:
        return false;
    }
}

// `mark` moved by `step` items, kept in the same column when it would leave the items.
int StepInColumn(int mark, int step, int count, int columns) {
    int target = mark + step;
    while (target >= count) {
        target -= columns;
    }
    while (target < 0) {
        target += columns;
    }
    return target >= count ? mark : target;
}

} // namespace

int MoveTarget(int key, int mark, int count, int columns, int rowsPerPage) {
    columns = std::max(columns, 1);
    if (!IsMovementKey(key, columns)) {
        return notAMove;
    }
    if (count <= 0) {
        return -1;
    }
    if (mark < 0 || mark >= count) {
        return key == Qt::Key_End ? count - 1 : 0;
    }
    const int page = std::max(rowsPerPage, 1) * columns;
    switch (key) {
    case Qt::Key_Up:
        return mark - columns >= 0 ? mark - columns : mark;
    case Qt::Key_Down:
        return mark + columns < count ? mark + columns : mark;
    case Qt::Key_Left:
        return std::max(mark - 1, 0);
    case Qt::Key_Right:
        return std::min(mark + 1, count - 1);
    case Qt::Key_PageUp:
        return StepInColumn(mark, -page, count, columns);
    case Qt::Key_PageDown:
        return StepInColumn(mark, page, count, columns);
    case Qt::Key_Home:
        return 0;
    default: // Key_End
        return count - 1;
    }
}

} // namespace ListNavigation
