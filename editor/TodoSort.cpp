#include "editor/TodoSort.h"

#include "ui/TextConversion.h"

#include <QString>

namespace TodoSort {

namespace {

// The sign of a - b, without the overflow of subtracting stored values that may be anything.
int Difference(std::int32_t a, std::int32_t b) {
    return (a > b) - (a < b);
}

} // namespace

CHeaderClick ClickHeader(const CHeaderImages& images, int column) {
    CHeaderClick click{images, -1};
    for (int i = 0; i < columnCount; ++i) {
        int& image = click.images[static_cast<std::size_t>(i)];
        if (i != column) {
            image = 3 * i + 2;
        } else if (image % 3 == 0) {
            // Sorted by this column: reverse it.
            image += 1;
            click.code = 2 * i + 1;
        } else {
            image = 3 * i;
            click.code = 2 * i;
        }
    }
    return click;
}

int Compare(int code, const CTodoItem& a, const CTodoItem& b) {
    switch (code) {
    case priorityHighFirst:
        return Difference(b.priority, a.priority);
    case priorityLowFirst:
        return Difference(a.priority, b.priority);
    case notDoneFirst:
        return Difference(a.done, b.done);
    case doneFirst:
        return Difference(b.done, a.done);
    case textAscending:
        return QString::localeAwareCompare(ToQString(a.text), ToQString(b.text));
    case textDescending:
        return QString::localeAwareCompare(ToQString(b.text), ToQString(a.text));
    default:
        return 0;
    }
}

std::int32_t NextPriority(std::int32_t priority) {
    // A stored priority outside the three still steps into them.
    return ((priority % 3) + 4) % 3;
}

std::int32_t ToggledDone(std::int32_t done) {
    return done == 0 ? 1 : 0;
}

} // namespace TodoSort
