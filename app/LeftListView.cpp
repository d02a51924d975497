#include "app/LeftListView.h"

#include "app/SidePaneGeometry.h"
#include "calendar/CalendarPage.h"
#include "ui/ListNavigation.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <iterator>

namespace {
using PictureId::modeButtons;
const QColor currentModeFill(226, 236, 252);
const QColor currentModeEdge(150, 180, 228);
const char* const captions[CLeftListView::itemCount] = {"Agenda", "Day", "Week", "Month", "Todos"};
// The preview (mode 4) and the search results have no button.
constexpr int buttonModes[CLeftListView::itemCount] = {
    CCalendarPage::agendaMode, CCalendarPage::dayMode, CCalendarPage::weekMode,
    CCalendarPage::monthMode, CCalendarPage::todosMode};
} // namespace

CLeftListView::CLeftListView(QWidget* parent)
    : CListBase(parent), m_images(LoadImageStrip(modeButtons, 32)) {
    setObjectName(QStringLiteral("leftPane"));
    // The four buttons are not a list to scroll through; a short pane cuts the last ones off.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    setMinimumWidth(50);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAccessibleName(QStringLiteral("Calendar modes"));
    SetSelectionMark(0);
}

int CLeftListView::ModeOfButton(int row) {
    return row >= 0 && row < itemCount ? buttonModes[row] : -1;
}

int CLeftListView::ButtonOfMode(int mode) {
    const auto* found = std::find(std::begin(buttonModes), std::end(buttonModes), mode);
    return found != std::end(buttonModes) ? static_cast<int>(found - std::begin(buttonModes)) : -1;
}

QSize CLeftListView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(150 + frame, itemCount * SidePaneGeometry::rowHeight + frame);
}

QRect CLeftListView::ItemRect(int row) const {
    return SidePaneGeometry::RowRect(row, viewport()->width());
}

int CLeftListView::HitTest(const QPoint& contentPos) const {
    return SidePaneGeometry::RowAt(contentPos.y());
}

int CLeftListView::ContentHeight() const {
    return itemCount * SidePaneGeometry::rowHeight;
}

int CLeftListView::MoveTarget(int key, int mark) const {
    if (key == Qt::Key_Up) {
        return (std::max(mark, 0) + itemCount - 1) % itemCount;
    }
    if (key == Qt::Key_Down) {
        return (mark + 1) % itemCount;
    }
    return CListBase::MoveTarget(key, mark);
}

void CLeftListView::SetCurrentMode(int mode) {
    m_currentButton = ButtonOfMode(mode);
    // Tab into the pane lands on the button of the mode on show.
    if (m_currentButton >= 0) {
        SetSelectionMark(m_currentButton);
    }
    viewport()->update();
}

void CLeftListView::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    painter.fillRect(rect.adjusted(0, 0, 0, -1), Qt::white);
    if (row == m_currentButton) {
        // The mode on show, as a pressed-in button: a tint that the focus frame can go over.
        const QRect button = rect.adjusted(6, 6, -6, -7);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(currentModeEdge);
        painter.setBrush(currentModeFill);
        painter.drawRoundedRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.restore();
    }
    if (m_images.IsNull()) {
        // Without the artwork the caption still names the mode.
        painter.setPen(Qt::black);
        painter.drawText(SidePaneGeometry::TextRect(rect), Qt::AlignCenter,
                         QLatin1String(captions[row]));
    } else {
        const int height = m_images.GetImageSize().height();
        m_images.Draw(painter, SidePaneGeometry::ImageRect(rect, height).topLeft(), row);
    }
}

QRect CLeftListView::FocusFrameRect(int row) const {
    return ItemRect(row).adjusted(3, 3, -3, -4);
}

void CLeftListView::PressItem(int row) {
    if (IsItem(row)) {
        SetSelectionMark(row);
        emit modeRequested(ModeOfButton(row));
    }
}

void CLeftListView::DoubleClickItem(int row) {
    // The second click of a double click is a click of its own, as on any button.
    PressItem(row);
}

void CLeftListView::ActivateItem(int row) {
    if (IsItem(row)) {
        emit modeRequested(ModeOfButton(row));
    }
}

void CLeftListView::HoverItem(int row) {
    viewport()->setCursor(row >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CLeftListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        ActivateItem(GetSelectionMark());
        return;
    }
    CListBase::keyPressEvent(event);
}
