#include "calendar/MonthListCtrl.h"

#include "calendar/MonthGridGeometry.h"
#include "calendar/MonthHeaderCtrl.h"
#include "calendar/TodayMark.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace {

const QColor outsideMonth(222, 222, 222);
const QColor countColour(17, 89, 142);
const QColor todayColour(61, 110, 196);

} // namespace

CMonthListCtrl::CMonthListCtrl(CMeetingStore& store, const CDesktopServices& services,
                               QWidget* parent)
    : CListBase(parent), m_store(store), m_services(services) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setViewportMargins(0, MonthGridGeometry::headerHeight, 0, 0);
    m_header = new CMonthHeaderCtrl(this);
    m_header->setObjectName(QStringLiteral("monthHeader"));
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void CMonthListCtrl::Fill(const CDateTime& date) {
    m_date = date;
    m_grid = FillMonthGrid(m_store, date);
    m_todayCell = m_grid.days[0] == 0
                      ? -1
                      : TodayIndex(m_grid.gridStart, CMonthGrid::cellCount, m_services.Now());
    m_tipCell = -1;
    SetSelectionMark(CellOf(date));
    UpdateScrollRange();
}

void CMonthListCtrl::Refresh() {
    Fill(m_date);
}

int CMonthListCtrl::CellOf(const CDateTime& date) const {
    if (!date.IsValid() || m_grid.days[0] == 0) {
        return -1;
    }
    const long long seconds = date.ToSerialSeconds() - m_grid.gridStart.ToSerialSeconds();
    if (seconds < 0) {
        return -1;
    }
    const long long days = seconds / 86400;
    return days < CMonthGrid::cellCount ? static_cast<int>(days) : -1;
}

QRect CMonthListCtrl::ItemRect(int cell) const {
    return MonthGridGeometry::CellLayout(cell, viewport()->width(), viewport()->height()).bounds;
}

int CMonthListCtrl::HitTest(const QPoint& contentPos) const {
    return MonthGridGeometry::CellAt(contentPos, viewport()->width(), viewport()->height());
}

int CMonthListCtrl::ContentHeight() const {
    return viewport()->height();
}

void CMonthListCtrl::PaintItem(QPainter& painter, int cell, const QRect&) const {
    const auto index = static_cast<std::size_t>(cell);
    const MonthGridGeometry::CCellLayout layout =
        MonthGridGeometry::CellLayout(cell, viewport()->width(), viewport()->height());
    const QRect& bounds = layout.bounds;
    const bool inMonth = m_grid.InMonth(cell);
    painter.fillRect(bounds, inMonth ? QColor(Qt::white) : outsideMonth);

    QFont dayFont = font();
    dayFont.setPixelSize(12);
    dayFont.setWeight(inMonth ? QFont::Bold : QFont::Normal);
    painter.setFont(dayFont);
    const bool today = cell == m_todayCell;
    painter.setPen(today ? QColor(Qt::white) : palette().color(QPalette::WindowText));
    if (m_grid.days[index] > 0) {
        const QString day = QString::number(m_grid.days[index]);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        if (today) {
            // Today's day number stands on a blue badge, unlike the focus frame of the mark.
            const QRect text = painter.fontMetrics().boundingRect(layout.dayText, flags, day);
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(todayColour);
            painter.setPen(Qt::NoPen);
            painter.drawRoundedRect(text.adjusted(-3, -1, 3, 1), 4, 4);
            painter.restore();
            painter.setPen(Qt::white);
        }
        painter.drawText(layout.dayText, flags, day);
    }

    const int count = m_grid.counts[index];
    if (count != 0) {
        painter.save();
        painter.setClipRect(bounds);
        painter.drawPixmap(layout.picture, LoadPicture(PictureId::monthMeetingPicture,
                                                       viewport()->devicePixelRatioF()));
        painter.restore();
        painter.setPen(countColour);
        painter.drawText(layout.count, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         QString::number(count));
    }

    // The grid lines: each cell draws its bottom and right edges.
    painter.setPen(QPen(Qt::black, 2));
    const QPoint bottomRight = bounds.bottomRight() + QPoint(1, 1);
    painter.drawLine(QPoint(bounds.left(), bottomRight.y()), bottomRight);
    painter.drawLine(bottomRight, QPoint(bottomRight.x(), bounds.top()));
}

void CMonthListCtrl::PressItem(int cell) {
    m_pressedCell = cell;
    CListBase::PressItem(cell);
}

void CMonthListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = std::exchange(m_pressedCell, -1);
    CListBase::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && pressed >= 0 &&
        ItemAtViewport(event->position().toPoint()) == pressed) {
        OpenDay(pressed);
    }
}

void CMonthListCtrl::ActivateItem(int cell) {
    OpenDay(cell);
}

void CMonthListCtrl::OpenDay(int cell) {
    if (cell < 0 || cell >= CMonthGrid::cellCount || m_grid.days[0] == 0) {
        return;
    }
    emit DayOpened(m_grid.CellDate(cell));
}

void CMonthListCtrl::HoverItem(int cell) {
    if (cell < 0 || cell == m_tipCell || m_grid.days[0] == 0) {
        return;
    }
    m_tipCell = cell;
    // The tooltip breaks lines at LF alone.
    emit ToolTipChanged(ToShownText(DayTipText(m_store, m_grid.CellDate(cell)))
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CMonthListCtrl::resizeEvent(QResizeEvent* event) {
    CListBase::resizeEvent(event);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - MonthGridGeometry::headerHeight, area.width(),
                          MonthGridGeometry::headerHeight);
}
