#include "app/PaneSplitter.h"

#include <QResizeEvent>

#include <algorithm>

namespace {
constexpr int minimumColumn = 50;
}

CPaneSplitter::CPaneSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("paneSplitter"));
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this, &CPaneSplitter::OnSplitterMoved);
}

void CPaneSplitter::SetPercentages(int first, int second) {
    m_firstPercent = std::clamp(first, 0, 100);
    m_secondPercent = std::clamp(second, 0, 100);
}

void CPaneSplitter::SetReady(bool ready) {
    m_ready = ready;
    if (m_ready) {
        ApplyPercentages();
    }
}

std::array<int, 3> CPaneSplitter::ColumnWidths(int width, int firstPercent, int secondPercent) {
    // The pixel widths are kept sensible, so a damaged setting cannot hide a pane; the
    // percentages stay within the window so the arithmetic cannot overflow.
    width = std::max(width, 0);
    firstPercent = std::clamp(firstPercent, 0, 100);
    secondPercent = std::clamp(secondPercent, 0, 100);
    const auto percentOf = [width](int percent) {
        return static_cast<int>(static_cast<long long>(percent) * width / 100);
    };
    const int usable = std::max(width - 2 * minimumColumn, minimumColumn);
    const int first = std::clamp(percentOf(firstPercent), minimumColumn, usable);
    const int second = std::clamp(percentOf(secondPercent - firstPercent), minimumColumn,
                                  std::max(width - first - minimumColumn, minimumColumn));
    const int third = std::max(width - first - second, minimumColumn);
    return {first, second, third};
}

int CPaneSplitter::PercentAt(int x, int width) {
    return width > 0 ? static_cast<int>(static_cast<long long>(x) * 100 / width) : 0;
}

void CPaneSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    if (m_ready) {
        ApplyPercentages();
    }
}

void CPaneSplitter::ApplyPercentages() {
    if (count() != 3) {
        return;
    }
    const auto widths = ColumnWidths(width(), m_firstPercent, m_secondPercent);
    setSizes({widths[0], widths[1], widths[2]});
}

void CPaneSplitter::OnSplitterMoved(int pos, int index) {
    const int percent = PercentAt(pos, width());
    if (index == 1) {
        m_firstPercent = percent;
    } else if (index == 2) {
        m_secondPercent = percent;
    }
}
