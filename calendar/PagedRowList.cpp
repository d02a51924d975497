#include "calendar/PagedRowList.h"

#include "calendar/FoundListGeometry.h"

#include <QPainter>
#include <QScrollBar>
#include <QTimer>

CPagedRowList::CPagedRowList(int rowHeight, QWidget* parent)
    : CListBase(parent), m_rowHeight(rowHeight) {
    verticalScrollBar()->setSingleStep(rowHeight);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (value > 0 && value >= verticalScrollBar()->maximum()) {
            AskForMoreSoon();
        }
    });
    connect(this, &CListBase::SelectionMarkChanged, this, [this](int mark) {
        if (mark >= 0 && mark == ItemCount() - 1) {
            AskForMoreSoon();
        }
    });
}

void CPagedRowList::AskForMoreSoon() {
    if (!m_hasMore || m_morePending) {
        return;
    }
    m_morePending = true;
    QTimer::singleShot(0, this, [this] {
        m_morePending = false;
        LoadMore();
    });
}

int CPagedRowList::HitTest(const QPoint& contentPos) const {
    return FoundListGeometry::RowAt(contentPos.y(), ItemCount(), m_rowHeight);
}

int CPagedRowList::ContentHeight() const {
    return FoundListGeometry::ContentHeight(ItemCount(), m_rowHeight);
}

CListBase::CItemRange CPagedRowList::ItemsToPaint(int top, int bottom) const {
    const auto rows = FoundListGeometry::VisibleRows(top, bottom, ItemCount(), m_rowHeight);
    return {rows.first, rows.end};
}

QFont CPagedRowList::RowFont(const QFont& base, QFont::Weight weight) {
    QFont font = base;
    font.setPixelSize(13);
    font.setWeight(weight);
    return font;
}

void CPagedRowList::DrawLine(QPainter& painter, const QRect& rect, const QString& text) {
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}
