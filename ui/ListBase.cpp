#include "ui/ListBase.h"

#include "ui/FocusFrame.h"
#include "ui/ListNavigation.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

CListBase::CListBase(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    // Right clicks and the menu keys reach the list as presses, for the item they concern.
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(colours);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void CListBase::SetSelectionMark(int item) {
    if (!IsItem(item)) {
        item = -1;
    }
    if (item == m_selectionMark) {
        return;
    }
    m_selectionMark = item;
    viewport()->update();
    emit SelectionMarkChanged(item);
}

void CListBase::ScrollTo(int item) {
    if (!IsItem(item)) {
        return;
    }
    const QRect rect = ItemRect(item);
    const int scroll = ScrollPosition();
    const int height = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    if (rect.top() < scroll) {
        bar->setValue(rect.top());
    } else if (rect.bottom() + 1 > scroll + height) {
        bar->setValue(std::max(0, rect.bottom() + 1 - height));
    }
}

int CListBase::ItemAtViewport(const QPoint& pos) const {
    if (!viewport()->rect().contains(pos)) {
        return -1;
    }
    const int item = HitTest(pos + QPoint(0, ScrollPosition()));
    return IsItem(item) ? item : -1;
}

QRect CListBase::ViewportRect(int item) const {
    return ItemRect(item).translated(0, -ScrollPosition());
}

CListBase::CItemRange CListBase::ItemsToPaint(int, int) const {
    return {0, ItemCount()};
}

int CListBase::MoveTarget(int key, int mark) const {
    return ListNavigation::MoveTarget(key, mark, ItemCount(), ColumnCount(), RowsPerPage());
}

void CListBase::PaintDecoration(QPainter&, const QRect&) const {}

void CListBase::PaintEmpty(QPainter&) const {}

QRect CListBase::FocusFrameRect(int item) const {
    return ItemRect(item).adjusted(1, 1, -1, -1);
}

QString CListBase::ItemToolTip(int) const {
    return {};
}

void CListBase::PressItem(int item) {
    SetSelectionMark(item);
}

void CListBase::DoubleClickItem(int) {
    if (IsItem(m_selectionMark)) {
        ActivateItem(m_selectionMark);
    }
}

void CListBase::ActivateItem(int) {}

void CListBase::DeleteItem(int) {}

void CListBase::OpenContextMenu(int, const QPoint&) {}

QPoint CListBase::MenuAnchor(int item) const {
    return ItemRect(item).center();
}

void CListBase::HoverItem(int) {}

void CListBase::StartDrag(int) {}

void CListBase::UpdateScrollRange() {
    const int height = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, ContentHeight() - std::max(0, height)));
    bar->setPageStep(std::max(1, height));
    viewport()->update();
}

int CListBase::ScrollPosition() const {
    return verticalScrollBar()->value();
}

int CListBase::RowsPerPage() const {
    if (ItemCount() == 0) {
        return 1;
    }
    const int rowHeight = ItemRect(IsItem(m_selectionMark) ? m_selectionMark : 0).height();
    return rowHeight > 0 ? std::max(1, viewport()->height() / rowHeight) : 1;
}

bool CListBase::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        // The frame around the viewport takes a press as the viewport would at that point;
        // a point on the frame itself hits nothing.
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF pos = viewport()->mapFrom(this, mouse->position());
        if (viewport()->rect().contains(pos.toPoint())) {
            QMouseEvent moved(mouse->type(), pos, mouse->globalPosition(), mouse->button(),
                              mouse->buttons(), mouse->modifiers());
            QApplication::sendEvent(viewport(), &moved);
        }
        event->accept();
        return true;
    }
    default:
        return QAbstractScrollArea::event(event);
    }
}

bool CListBase::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int item = ItemAtViewport(help->pos());
        const QString text = item >= 0 ? ItemToolTip(item) : QString();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport(), ViewportRect(item));
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CListBase::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    painter.fillRect(area, viewport()->palette().color(QPalette::Base));
    if (ItemCount() == 0) {
        PaintEmpty(painter);
        if (hasFocus()) {
            DrawFocusFrame(painter, area, *this);
        }
        return;
    }
    const int scroll = ScrollPosition();
    const QRect band = area.translated(0, scroll);
    painter.translate(0, -scroll);
    const CItemRange range = ItemsToPaint(band.top(), band.bottom() + 1);
    for (int item = std::max(range.first, 0); item < std::min(range.end, ItemCount()); ++item) {
        const QRect rect = ItemRect(item);
        if (rect.intersects(band)) {
            painter.save();
            PaintItem(painter, item, rect);
            painter.restore();
        }
    }
    painter.save();
    PaintDecoration(painter, band);
    painter.restore();
    if (hasFocus()) {
        // The marked item carries the frame; without a mark, the whole list does.
        if (IsItem(m_selectionMark)) {
            DrawFocusFrame(painter, FocusFrameRect(m_selectionMark), *this);
        } else {
            painter.resetTransform();
            DrawFocusFrame(painter, area, *this);
        }
    }
}

void CListBase::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    LayoutItems();
    UpdateScrollRange();
}

void CListBase::scrollContentsBy(int, int) {
    viewport()->update();
}

void CListBase::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int item = ItemAtViewport(pos);
    if (event->button() == Qt::LeftButton) {
        m_pressItem = item;
        m_pressPos = pos;
        PressItem(item);
    } else if (event->button() == Qt::RightButton) {
        OpenContextMenu(item, event->globalPosition().toPoint());
    }
}

void CListBase::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    HoverItem(ItemAtViewport(pos));
    if ((event->buttons() & Qt::LeftButton) && m_pressItem >= 0 &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        const int item = m_pressItem;
        m_pressItem = -1;
        StartDrag(item);
    }
}

void CListBase::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressItem = -1;
    }
}

void CListBase::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        DoubleClickItem(ItemAtViewport(event->position().toPoint()));
    }
}

void CListBase::keyPressEvent(QKeyEvent* event) {
    const int mark = IsItem(m_selectionMark) ? m_selectionMark : -1;
    const int key = event->key();
    const int target = MoveTarget(key, mark);
    if (target != ListNavigation::notAMove) {
        if (target >= 0) {
            SetSelectionMark(target);
            ScrollTo(target);
            viewport()->update();
        }
        event->accept();
        return;
    }
    const bool menuKey =
        key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (mark != -1) {
            ActivateItem(mark);
        }
    } else if (key == Qt::Key_Delete) {
        if (mark != -1) {
            DeleteItem(mark);
        }
    } else if (menuKey) {
        if (mark != -1) {
            ScrollTo(mark);
            const QPoint anchor = MenuAnchor(mark) - QPoint(0, ScrollPosition());
            OpenContextMenu(mark, viewport()->mapToGlobal(anchor));
        }
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CListBase::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void CListBase::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
