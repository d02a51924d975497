#include "editor/MeetingIconList.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

CMeetingIconList::CMeetingIconList(QWidget* parent)
    : CListBase(parent), m_icons(LoadImageStrip(PictureId::meetingIconStrip, 32)) {
    setObjectName(QStringLiteral("meetingIconList"));
}

int CMeetingIconList::ColumnsFor(int viewportWidth) {
    return std::max(1, viewportWidth / cellWidth);
}

void CMeetingIconList::StartOn(int icon) {
    SetSelectionMark(icon);
    m_markShown = false;
    if (IsItem(icon)) {
        ScrollTo(icon);
    }
    viewport()->update();
}

int CMeetingIconList::ItemCount() const {
    return m_icons.GetImageCount();
}

int CMeetingIconList::ColumnCount() const {
    return ColumnsFor(viewport()->width());
}

QRect CMeetingIconList::ItemRect(int item) const {
    const int columns = ColumnCount();
    return {(item % columns) * cellWidth, (item / columns) * cellHeight, cellWidth, cellHeight};
}

int CMeetingIconList::HitTest(const QPoint& contentPos) const {
    if (contentPos.x() < 0 || contentPos.y() < 0) {
        return -1;
    }
    const int columns = ColumnCount();
    const int column = contentPos.x() / cellWidth;
    if (column >= columns) {
        return -1;
    }
    const int item = contentPos.y() / cellHeight * columns + column;
    return IsItem(item) ? item : -1;
}

int CMeetingIconList::ContentHeight() const {
    const int columns = ColumnCount();
    return (ItemCount() + columns - 1) / columns * cellHeight;
}

void CMeetingIconList::PaintItem(QPainter& painter, int item, const QRect& rect) const {
    if (m_markShown && item == GetSelectionMark()) {
        painter.fillRect(rect.adjusted(2, 2, -2, -2), palette().color(QPalette::Highlight));
    }
    const QSize size = m_icons.GetImageSize();
    m_icons.Draw(painter,
                 rect.topLeft() +
                     QPoint((rect.width() - size.width()) / 2, (rect.height() - size.height()) / 2),
                 item);
}

QRect CMeetingIconList::FocusFrameRect(int item) const {
    // Until the user picks, the frame goes round the list, not round the meeting's icon.
    if (!m_markShown) {
        return viewport()->rect().translated(0, ScrollPosition()).adjusted(0, 0, -1, -1);
    }
    return CListBase::FocusFrameRect(item);
}

void CMeetingIconList::PressItem(int item) {
    // A click beside the icons keeps the mark where it was, as OK then keeps that icon.
    if (item == -1) {
        return;
    }
    m_markShown = true;
    CListBase::PressItem(item);
    viewport()->update();
}

void CMeetingIconList::keyPressEvent(QKeyEvent* event) {
    const int before = GetSelectionMark();
    CListBase::keyPressEvent(event);
    if (GetSelectionMark() != before) {
        m_markShown = true;
        viewport()->update();
    }
}

void CMeetingIconList::resizeEvent(QResizeEvent* event) {
    CListBase::resizeEvent(event);
    // The meeting's icon stays in view while the dialog settles its size.
    if (!m_markShown && IsItem(GetSelectionMark())) {
        ScrollTo(GetSelectionMark());
    }
}
