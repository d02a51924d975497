#include "calendar/WeekListCtrl.h"

#include "calendar/BoxStep.h"
#include "calendar/MeetingDrag.h"
#include "calendar/TodayMark.h"
#include "calendar/WeekHeaderCtrl.h"
#include "calendar/WeekListGeometry.h"
#include "calendar/WindowToolTip.h"
#include "store/MeetingStore.h"
#include "ui/CommandTable.h"
#include "ui/DesktopServices.h"
#include "ui/ImageStrip.h"
#include "ui/MeetingCommands.h"
#include "ui/MeetingMenu.h"
#include "ui/TextConversion.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

namespace Geometry = WeekListGeometry;

const QColor officeHours(220, 237, 204);
const QColor otherHours(245, 245, 245);
const QColor markedHour(50, 114, 72);
const QColor boxFrame(39, 94, 148);
const QColor gridLine(208, 208, 208);
// Office hours run from row 8 to row 16; a week without meetings opens on them.
constexpr int firstOfficeHour = 8;
constexpr int endOfficeHours = 17;

} // namespace

CWeekListCtrl::CWeekListCtrl(CMeetingStore& store, CDesktopServices& services,
                             CMeetingCommands& commands, QWidget* parent)
    : CListBase(parent), m_store(store), m_services(services), m_commands(commands) {
    m_header = new CWeekHeaderCtrl(this);
    m_header->setObjectName(QStringLiteral("weekHeader"));
    m_drag = new CMeetingDrag(*this);
    setViewportMargins(0, Geometry::headerHeight, 0, 0);
    verticalScrollBar()->setSingleStep(Geometry::rowHeight);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void CWeekListCtrl::Fill(const CDateTime& date) {
    const CDateTime shownSunday = m_week.sunday;
    m_date = date;
    m_week = FillWeekList(m_store, date);
    const bool anotherWeek = !m_filled || !(m_week.sunday == shownSunday);
    m_filled = true;
    m_format = CDateTimeFormat();
    for (auto& cell : m_cells) {
        cell.clear();
    }
    int firstHour = Geometry::hourCount;
    for (std::size_t slot = 0; slot < m_week.meetings.size(); ++slot) {
        const CWeekSlot& meeting = m_week.meetings[slot];
        m_cells[static_cast<std::size_t>(Geometry::ItemOf(meeting.hour, meeting.weekday))]
            .push_back(static_cast<int>(slot));
        firstHour = std::min(firstHour, meeting.hour);
    }

    std::array<QString, 7> days;
    for (int day = 0; day < 7; ++day) {
        days[static_cast<std::size_t>(day)] =
            m_week.sunday.IsValid() && date.IsValid()
                ? QString::number(m_week.sunday.AddSeconds(day * 86400LL).GetDay())
                : m_header->GetText(day + 1);
    }
    m_header->SetDayTexts(days);
    const int today = date.IsValid() ? TodayIndex(m_week.sunday, 7, m_services.Now()) : -1;
    m_header->SetTodayColumn(today + 1);

    // Another week opens on office hours, moved down as far as its first meeting needs; a
    // refill of the same week (after a drop, say) stays where the user looked.
    if (anotherWeek) {
        int scroll = Geometry::ScrollForHour(firstOfficeHour, viewport()->height());
        if (firstHour < Geometry::hourCount) {
            const int top = firstHour * Geometry::rowHeight;
            if (top < scroll || top + Geometry::rowHeight > scroll + viewport()->height()) {
                scroll = Geometry::ScrollForHour(firstHour, viewport()->height());
            }
        }
        UpdateScrollRange();
        verticalScrollBar()->setValue(scroll);
    }
    UpdateScrollRange();
    // What the tooltip said belonged to the week shown before.
    m_toolText = QString();
    if (m_toolTip != nullptr) {
        m_toolTip->SetToolText(this, m_toolText);
    }
}

void CWeekListCtrl::Refresh() {
    Fill(m_date);
}

int CWeekListCtrl::CellCount(int item) const {
    return item >= 0 && item < Geometry::cellCount
               ? static_cast<int>(m_cells[static_cast<std::size_t>(item)].size())
               : 0;
}

std::vector<std::string> CWeekListCtrl::CellMeetings(int item) const {
    std::vector<std::string> ids;
    if (item >= 0 && item < Geometry::cellCount) {
        for (const int slot : m_cells[static_cast<std::size_t>(item)]) {
            ids.push_back(m_week.meetings[static_cast<std::size_t>(slot)].id);
        }
    }
    return ids;
}

CDateTime CWeekListCtrl::CellDate(int item) const {
    if (!m_week.sunday.IsValid() || item < 0 || item >= Geometry::cellCount) {
        return CDateTime(0.0, CDateTime::invalid);
    }
    return m_week.sunday.AddSeconds((Geometry::WeekdayOf(item) - 1) * 86400LL +
                                    Geometry::HourOf(item) * 3600LL);
}

int CWeekListCtrl::SlotAt(const QPoint& contentPos) const {
    const int item = Geometry::CellAt(contentPos, m_dayWidth);
    const int position =
        Geometry::MeetingAt(Geometry::CellRect(item, m_dayWidth), CellCount(item), contentPos);
    return position < 0 ? -1 : m_cells[static_cast<std::size_t>(item)][position];
}

std::string CWeekListCtrl::MeetingAtViewport(const QPoint& pos) const {
    if (!viewport()->rect().contains(pos)) {
        return {};
    }
    const int slot = SlotAt(pos + QPoint(0, ScrollPosition()));
    return slot < 0 ? std::string() : m_week.meetings[static_cast<std::size_t>(slot)].id;
}

int CWeekListCtrl::ItemCount() const {
    return Geometry::cellCount;
}

QRect CWeekListCtrl::ItemRect(int item) const {
    return Geometry::CellRect(item, m_dayWidth);
}

int CWeekListCtrl::HitTest(const QPoint& contentPos) const {
    return Geometry::CellAt(contentPos, m_dayWidth);
}

int CWeekListCtrl::ContentHeight() const {
    return Geometry::hourCount * Geometry::rowHeight;
}

int CWeekListCtrl::ColumnCount() const {
    return Geometry::dayCount;
}

void CWeekListCtrl::LayoutItems() {
    m_dayWidth = Geometry::DayColumnWidth(viewport()->width());
    m_header->SetDayColumnWidth(m_dayWidth);
}

void CWeekListCtrl::resizeEvent(QResizeEvent* event) {
    CListBase::resizeEvent(event);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - Geometry::headerHeight, area.width(),
                          Geometry::headerHeight);
    // A taller list has less to scroll; a position cut short at the end goes up to a whole
    // row, so the top row never shows cut in half.
    QScrollBar* bar = verticalScrollBar();
    if (bar->value() == bar->maximum()) {
        bar->setValue(bar->value() / Geometry::rowHeight * Geometry::rowHeight);
    }
}

void CWeekListCtrl::PaintItem(QPainter& painter, int item, const QRect& rect) const {
    const int hour = Geometry::HourOf(item);
    const bool office = hour >= firstOfficeHour && hour < endOfficeHours;
    painter.fillRect(rect, office ? officeHours : otherHours);
    // Each cell draws the grid lines on its right and bottom, and Sunday the one left of it,
    // before the boxes, whose frames reach onto the line on their left.
    painter.setPen(gridLine);
    painter.drawLine(rect.topRight(), rect.bottomRight());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    if (Geometry::WeekdayOf(item) == 1) {
        painter.drawLine(rect.left() - 1, rect.top(), rect.left() - 1, rect.bottom());
    }

    const int count = CellCount(item);
    if (count == 0) {
        return;
    }
    if (m_meetingPicture.isNull() ||
        m_meetingPicture.devicePixelRatio() != viewport()->devicePixelRatioF()) {
        const_cast<QPixmap&>(m_meetingPicture) =
            LoadPicture(PictureId::weekMeetingPicture, viewport()->devicePixelRatioF());
    }
    painter.setPen(boxFrame);
    for (int position = 0; position < count; ++position) {
        const Geometry::CMeetingBox box = Geometry::MeetingBox(rect, count, position);
        painter.drawPixmap(box.picture, m_meetingPicture);
        painter.drawRect(box.frame.adjusted(0, 0, -1, -1));
    }
}

void CWeekListCtrl::PaintDecoration(QPainter& painter, const QRect& band) const {
    const int markedRow = IsItem(GetSelectionMark()) ? Geometry::HourOf(GetSelectionMark()) : -1;
    // Two digits in bold have to fit the narrow hour column.
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setWeight(QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.5);
    painter.setFont(font);
    for (int hour = 0; hour < Geometry::hourCount; ++hour) {
        const QRect row = Geometry::HourRect(hour);
        if (!row.intersects(band)) {
            continue;
        }
        const bool marked = hour == markedRow;
        // The last pixel column is the grid line Sunday draws.
        const QRect cell(row.left(), row.top(), row.width() - 1, row.height() - 1);
        painter.fillRect(cell, marked ? markedHour : QColor(Qt::white));
        painter.setPen(gridLine);
        painter.drawLine(row.bottomLeft(), row.bottomRight() - QPoint(1, 0));
        painter.setPen(marked ? QColor(Qt::white) : QColor(Qt::black));
        const int twelveHour = hour % 12 == 0 ? 12 : hour % 12;
        painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::number(twelveHour));
    }
}

void CWeekListCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_mousePos = pos + QPoint(0, ScrollPosition());
    if (event->button() == Qt::LeftButton) {
        const std::string id = MeetingAtViewport(pos);
        if (!id.empty()) {
            m_drag->Press(id, pos);
        }
    }
    CListBase::mousePressEvent(event);
}

void CWeekListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_drag->IsPressed()) {
        const QPoint pos = event->position().toPoint();
        if (const auto id = m_drag->Release(pos)) {
            DropMeeting(*id, pos);
        }
    }
    CListBase::mouseReleaseEvent(event);
}

void CWeekListCtrl::DropMeeting(const std::string& id, const QPoint& pos) {
    const int item = Geometry::CellAt(pos + QPoint(0, ScrollPosition()), m_dayWidth);
    const CMeeting record = m_store.GetMeeting(id);
    if (item == -1 || record.id.empty()) {
        return;
    }
    const CDateTime::Parts parts = record.date.GetParts();
    const int weekday = Geometry::WeekdayOf(item);
    const int hour = Geometry::HourOf(item);
    if (weekday == parts.dayOfWeek && hour == parts.hour) {
        return;
    }
    const CDateTime moved = MovedToCell(record.date, weekday, hour);
    if (WriteMovedMeeting(m_store, m_services, id, moved, this)) {
        Fill(moved);
    }
}

void CWeekListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    m_mousePos = event->position().toPoint() + QPoint(0, ScrollPosition());
    CListBase::mouseDoubleClickEvent(event);
}

void CWeekListCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_mousePos = pos + QPoint(0, ScrollPosition());
    // A press on a meeting belongs to the drag until the button is released.
    if (m_drag->Move(pos, event->buttons())) {
        return;
    }
    CListBase::mouseMoveEvent(event);
}

void CWeekListCtrl::PressItem(int item) {
    // A press on the hour column leaves the mark; one on a meeting also makes it current.
    if (item == -1) {
        return;
    }
    const int slot = SlotAt(m_mousePos);
    if (slot >= 0) {
        m_currentId = m_week.meetings[static_cast<std::size_t>(slot)].id;
    }
    SetSelectionMark(item);
    viewport()->update();
}

std::string CWeekListCtrl::MeetingOfCell(int item) const {
    return CurrentOrFirst(CellMeetings(item), m_currentId);
}

std::string CWeekListCtrl::KeyMeeting() const {
    return MeetingOfCell(GetSelectionMark());
}

bool CWeekListCtrl::StepBox(int step) {
    auto next = SteppedBox(CellMeetings(GetSelectionMark()), KeyMeeting(), step);
    if (!next) {
        return false;
    }
    m_currentId = std::move(*next);
    viewport()->update();
    return true;
}

QRect CWeekListCtrl::FocusFrameRect(int item) const {
    // The frame goes around the meeting the keys act on, else around the cell.
    const std::vector<std::string> ids = CellMeetings(item);
    const auto at = std::find(ids.begin(), ids.end(), MeetingOfCell(item));
    if (at == ids.end()) {
        return CListBase::FocusFrameRect(item);
    }
    const int count = static_cast<int>(ids.size());
    const int position = static_cast<int>(at - ids.begin());
    return Geometry::MeetingBox(ItemRect(item), count, position).frame.adjusted(1, 1, -1, -1);
}

void CWeekListCtrl::keyPressEvent(QKeyEvent* event) {
    const std::string id = KeyMeeting();
    if (RunMeetingMenuKey(m_commands, *event, id)) {
        // The meeting acted on stays the current one.
        if (!id.empty()) {
            m_currentId = id;
        }
        event->accept();
        return;
    }
    const bool left = event->key() == Qt::Key_Left;
    if ((left || event->key() == Qt::Key_Right) && event->modifiers() == Qt::NoModifier &&
        StepBox(left ? -1 : 1)) {
        event->accept();
        return;
    }
    const int before = GetSelectionMark();
    CListBase::keyPressEvent(event);
    // Stepping left into a cell arrives at its last box.
    if (left && GetSelectionMark() != before) {
        const std::vector<std::string> ids = CellMeetings(GetSelectionMark());
        if (!ids.empty()) {
            m_currentId = ids.back();
        }
    }
}

void CWeekListCtrl::DoubleClickItem(int item) {
    if (item == -1) {
        return;
    }
    const int slot = SlotAt(m_mousePos);
    if (slot >= 0) {
        m_commands.ViewMeeting(m_week.meetings[static_cast<std::size_t>(slot)].id);
    } else {
        m_commands.AddMeeting(CellDate(item));
    }
}

void CWeekListCtrl::ActivateItem(int item) {
    const std::string id = MeetingOfCell(item);
    if (!id.empty()) {
        m_commands.ViewMeeting(id);
    } else if (item >= 0) {
        // An empty cell takes a new meeting at its hour, as a double click there does.
        m_commands.AddMeeting(CellDate(item));
    }
}

QPoint CWeekListCtrl::MenuAnchor(int item) const {
    const QRect cell = ItemRect(item);
    const int count = CellCount(item);
    return count == 0 ? cell.center() : Geometry::MeetingBox(cell, count, 0).frame.center();
}

void CWeekListCtrl::OpenContextMenu(int item, const QPoint& globalPos) {
    if (item == -1) {
        return;
    }
    SetSelectionMark(item);
    const QPoint contentPos = viewport()->mapFromGlobal(globalPos) + QPoint(0, ScrollPosition());
    const int slot = SlotAt(contentPos);
    // Only a meeting has a menu here; its Add adds at the hour of the cell.
    if (slot < 0) {
        return;
    }
    const std::string id = m_week.meetings[static_cast<std::size_t>(slot)].id;
    m_currentId = id;
    viewport()->update();
    const CDateTime cellDate = CellDate(item);
    QMenu menu(this);
    FillMeetingMenu(menu, m_commands, true);
    const QAction* chosen = m_services.RunMenu(menu, globalPos);
    if (chosen != nullptr && chosen->isEnabled() &&
        chosen->data().toInt() == CommandId::addMeeting) {
        m_commands.AddMeeting(cellDate);
    } else {
        RunMeetingMenuChoice(m_commands, chosen, id);
    }
}

void CWeekListCtrl::HoverItem(int) {
    const int slot = SlotAt(m_mousePos);
    QString text;
    if (slot >= 0) {
        const CWeekSlot& meeting = m_week.meetings[static_cast<std::size_t>(slot)];
        text = ToShownText(meeting.title) + QLatin1Char('\n') + m_format.Date(meeting.date) +
               QLatin1Char('\n') + m_format.Time(meeting.date);
    }
    if (text == m_toolText) {
        return;
    }
    m_toolText = text;
    if (m_toolTip != nullptr) {
        m_toolTip->SetToolText(this, text);
    }
}
