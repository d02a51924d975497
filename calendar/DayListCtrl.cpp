#include "calendar/DayListCtrl.h"

#include "calendar/BoxStep.h"
#include "calendar/DayListGeometry.h"
#include "calendar/MeetingDrag.h"
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

using namespace DayListGeometry;

const QColor markedBackground(50, 114, 72);
const QColor officeBackground(220, 237, 204);
const QColor otherBackground(245, 245, 245);
const QColor officeLine(130, 175, 85);
const QColor otherLine(170, 159, 155);
const QColor boxFrame(39, 94, 148);

bool IsOfficeHour(int row) {
    return row > 7 && row < 17;
}

// The hour on a 12-hour clock: 12, 1, ... 11, 12, 1, ... 11.
QString HourText(int row) {
    return QString::number(row % 12 == 0 ? 12 : row % 12);
}

// The hour and half-hour labels share 40 pixels, so they keep to a small size.
QFont LabelFont(const QFont& base) {
    QFont font = base;
    font.setWeight(QFont::Bold);
    font.setPixelSize(11);
    return font;
}

QFont TitleFont(const QFont& base) {
    QFont font = base;
    font.setWeight(QFont::Bold);
    font.setPixelSize(10);
    return font;
}

bool SameDay(const CDateTime& a, const CDateTime& b) {
    const CDateTime::Parts x = a.GetParts();
    const CDateTime::Parts y = b.GetParts();
    return x.year == y.year && x.month == y.month && x.day == y.day;
}

} // namespace

CDayListCtrl::CDayListCtrl(CMeetingStore& store, CDesktopServices& services,
                           CMeetingCommands& commands, QWidget* parent)
    : CListBase(parent), m_store(store), m_services(services), m_commands(commands),
      m_drag(new CMeetingDrag(*this)) {
    // Three steps of the wheel scroll one hour.
    verticalScrollBar()->setSingleStep(rowHeight / 3);
    UpdateScrollRange();
}

void CDayListCtrl::Fill(const CDateTime& date) {
    const bool newDay = !m_filled || !SameDay(date, m_date);
    m_date = date;
    m_filled = true;
    m_day = FillDayList(m_store, date);
    for (std::size_t hour = 0; hour < m_titles.size(); ++hour) {
        for (std::size_t half = 0; half < 2; ++half) {
            const std::vector<CDaySlot>& hourSlots = m_day.hours[hour].halves[half];
            for (std::size_t k = 0; k < CDayList::maxPerHalf; ++k) {
                m_titles[hour][half][k] =
                    k < hourSlots.size() ? ToShownText(hourSlots[k].title) : QString();
            }
        }
    }
    UpdateScrollRange();
    if (newDay) {
        const int first = m_day.FirstBusyHour();
        verticalScrollBar()->setValue(
            OpeningScroll(first >= 0 ? first : quietDayRow, viewport()->height()));
    }
}

void CDayListCtrl::Refresh() {
    Fill(m_date);
}

QRect CDayListCtrl::ItemRect(int row) const {
    return RowRect(row, viewport()->width());
}

int CDayListCtrl::HitTest(const QPoint& contentPos) const {
    return RowAt(contentPos.y());
}

int CDayListCtrl::ContentHeight() const {
    return DayListGeometry::ContentHeight();
}

QRect CDayListCtrl::ViewportBoxRect(int hour, int half, int k) const {
    if (hour < 0 || hour >= CDayList::hourCount || half < 0 || half > 1 || k < 0) {
        return {};
    }
    const CDayHour& hourSlots = m_day.hours[static_cast<std::size_t>(hour)];
    const int boxWidth = BoxWidth(viewport()->width(), hourSlots.WidestHalf());
    if (boxWidth == 0 ||
        k >= static_cast<int>(hourSlots.halves[static_cast<std::size_t>(half)].size())) {
        return {};
    }
    return BoxRect(hour, half, k, boxWidth).translated(0, -ScrollPosition());
}

CDayListCtrl::CHit CDayListCtrl::HitMeeting(int row, const QPoint& viewportPos) const {
    if (row < 0 || row >= CDayList::hourCount) {
        return {};
    }
    const CDayHour& hourSlots = m_day.hours[static_cast<std::size_t>(row)];
    const auto hit = HitBox(viewportPos + QPoint(0, ScrollPosition()), row, viewport()->width(),
                            static_cast<int>(hourSlots.halves[0].size()),
                            static_cast<int>(hourSlots.halves[1].size()));
    if (!hit) {
        return {};
    }
    const CDaySlot* slot = m_day.AtKey(CDayList::SlotKey(row, hit->half, hit->k));
    if (slot == nullptr) {
        return {};
    }
    return {slot->id, hit->onPicture};
}

std::vector<std::string> CDayListCtrl::RowMeetings(int row) const {
    std::vector<std::string> ids;
    if (row < 0 || row >= CDayList::hourCount) {
        return ids;
    }
    for (const auto& half : m_day.hours[static_cast<std::size_t>(row)].halves) {
        for (const CDaySlot& slot : half) {
            ids.push_back(slot.id);
        }
    }
    return ids;
}

std::string CDayListCtrl::MeetingOfRow(int row) const {
    return CurrentOrFirst(RowMeetings(row), m_currentId);
}

std::string CDayListCtrl::KeyMeeting() const {
    return MeetingOfRow(GetSelectionMark());
}

QRect CDayListCtrl::BoxOf(int row, const std::string& id) const {
    if (row < 0 || row >= CDayList::hourCount || id.empty()) {
        return {};
    }
    const CDayHour& hourSlots = m_day.hours[static_cast<std::size_t>(row)];
    for (int half = 0; half < 2; ++half) {
        const auto& meetings = hourSlots.halves[static_cast<std::size_t>(half)];
        for (std::size_t k = 0; k < meetings.size(); ++k) {
            if (meetings[k].id == id) {
                return ViewportBoxRect(row, half, static_cast<int>(k))
                    .translated(0, ScrollPosition());
            }
        }
    }
    return {};
}

void CDayListCtrl::StepBox(int step) {
    if (auto next = SteppedBox(RowMeetings(GetSelectionMark()), KeyMeeting(), step)) {
        m_currentId = std::move(*next);
        viewport()->update();
    }
}

QRect CDayListCtrl::FocusFrameRect(int row) const {
    // The frame goes around the meeting the keys act on, else around the row.
    const QRect box = BoxOf(row, MeetingOfRow(row));
    return box.isEmpty() ? CListBase::FocusFrameRect(row) : box.adjusted(2, 2, -2, -2);
}

void CDayListCtrl::keyPressEvent(QKeyEvent* event) {
    const std::string id = KeyMeeting();
    if (RunMeetingMenuKey(m_commands, *event, id)) {
        // The meeting acted on stays the current one.
        if (!id.empty()) {
            m_currentId = id;
        }
    } else if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        StepBox(event->key() == Qt::Key_Left ? -1 : 1);
    } else {
        CListBase::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CDayListCtrl::resizeEvent(QResizeEvent* event) {
    CListBase::resizeEvent(event);
    // A taller list has less to scroll; a position cut short at the end goes up to a whole
    // row, so the top row never shows cut in half.
    QScrollBar* bar = verticalScrollBar();
    if (bar->value() == bar->maximum()) {
        bar->setValue(WholeRowScroll(bar->value()));
    }
}

void CDayListCtrl::AddAt(int hour, int minute) {
    const CDateTime::Parts picker = m_commands.GetPickerDateTime().GetParts();
    m_commands.AddMeeting(
        CDateTime(picker.year, picker.month, picker.day, hour, minute, picker.second));
}

void CDayListCtrl::ActivateItem(int row) {
    const std::string id = MeetingOfRow(row);
    m_currentRow = row;
    if (id.empty()) {
        // A row without meetings takes a new one at its hour, as a double click there does.
        AddAt(row, 0);
        return;
    }
    m_currentId = id;
    m_commands.ViewMeeting(id);
}

void CDayListCtrl::OpenContextMenu(int row, const QPoint& globalPos) {
    // The menu keys: the Meeting menu of the marked row's meeting, as a right click on its box.
    const std::string id = MeetingOfRow(row);
    if (!id.empty()) {
        RunMenu(row, id, globalPos);
    }
}

QPoint CDayListCtrl::MenuAnchor(int row) const {
    const std::string id = MeetingOfRow(row);
    const CDayHour& hourSlots = m_day.hours[static_cast<std::size_t>(std::clamp(row, 0, 23))];
    for (int half = 0; half < 2; ++half) {
        const auto& meetings = hourSlots.halves[static_cast<std::size_t>(half)];
        for (std::size_t k = 0; k < meetings.size(); ++k) {
            if (meetings[k].id == id) {
                const QRect box = ViewportBoxRect(row, half, static_cast<int>(k));
                if (!box.isEmpty()) {
                    return box.translated(0, ScrollPosition()).bottomLeft();
                }
            }
        }
    }
    return ItemRect(row).center();
}

void CDayListCtrl::RunMenu(int row, const std::string& id, const QPoint& globalPos) {
    m_currentRow = row;
    m_currentId = id;
    QMenu menu(this);
    FillMeetingMenu(menu, m_commands, true);
    const QAction* chosen = m_services.RunMenu(menu, globalPos);
    // Add here means the marked hour of the date picker's day, not the picker's own time.
    if (chosen != nullptr && chosen->isEnabled() &&
        chosen->data().toInt() == CommandId::addMeeting) {
        AddAt(row, 0);
        return;
    }
    RunMeetingMenuChoice(m_commands, chosen, id);
}

void CDayListCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int row = ItemAtViewport(pos);
    m_currentId.clear();
    if (event->button() == Qt::RightButton) {
        // The Meeting menu is offered over a box only.
        if (row < 0) {
            return;
        }
        SetSelectionMark(row);
        m_currentRow = row;
        m_currentId = HitMeeting(row, pos).id;
        if (!m_currentId.empty()) {
            RunMenu(row, m_currentId, event->globalPosition().toPoint());
        }
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const CHit hit = HitMeeting(row, pos);
        m_currentId = hit.id;
        if (hit.onPicture) {
            // A press on a picture may start a drag; it marks the row of the meeting it made
            // current, as a press on the title does.
            m_drag->Press(hit.id, pos);
            setFocus(Qt::MouseFocusReason);
            SetSelectionMark(row);
            return;
        }
    }
    CListBase::mousePressEvent(event);
}

void CDayListCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag->Move(event->position().toPoint(), event->buttons())) {
        return;
    }
    CListBase::mouseMoveEvent(event);
}

void CDayListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        if (const auto dropped = m_drag->Release(pos)) {
            Drop(*dropped, pos);
        }
    }
    CListBase::mouseReleaseEvent(event);
}

void CDayListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    m_currentId.clear();
    const int row = ItemAtViewport(pos);
    if (row < 0) {
        return;
    }
    m_currentRow = row;
    m_currentId = HitMeeting(row, pos).id;
    if (!m_currentId.empty()) {
        m_commands.ViewMeeting(m_currentId);
        return;
    }
    AddAt(row, AddHalfAt(pos.y() + ScrollPosition()) == 0 ? 0 : 30);
}

void CDayListCtrl::Drop(const std::string& id, const QPoint& viewportPos) {
    const int contentY = viewportPos.y() + ScrollPosition();
    const int row = RowAt(contentY);
    // The hour numbers are no half hour to drop on.
    if (row < 0 || viewportPos.x() < hourRight) {
        return;
    }
    const CDateTime old = m_store.GetMeeting(id).date;
    const CDateTime moved = MoveToHalfHour(old, row, DropHalfAt(contentY));
    if (moved == old) {
        return;
    }
    if (WriteMovedMeeting(m_store, m_services, id, moved, this)) {
        Fill(moved);
    }
}

void CDayListCtrl::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    const bool marked = row == GetSelectionMark();
    const bool office = IsOfficeHour(row);
    const QColor text = marked ? QColor(Qt::white) : QColor(Qt::black);
    const QColor line = office ? officeLine : otherLine;
    const int top = rect.top();
    const int middle = RowMiddle(row);
    const int bottom = rect.top() + rect.height();
    const int width = rect.width();

    painter.fillRect(QRect(rect.left(), top + 1, width, rect.height() - 2),
                     marked ? markedBackground : (office ? officeBackground : otherBackground));

    painter.setFont(LabelFont(font()));
    painter.setPen(text);
    const int labels = Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.drawText(QRect(QPoint(0, top), QPoint(hourRight - 1, bottom - 1)), labels,
                     HourText(row));
    painter.drawText(QRect(QPoint(halfTextLeft, top), QPoint(halfTextRight - 1, middle - 1)),
                     labels, QStringLiteral("00"));
    painter.drawText(QRect(QPoint(halfTextLeft, middle), QPoint(halfTextRight - 1, bottom - 1)),
                     labels, QStringLiteral("30"));

    // Two pixels at the boundary to the next hour, one at the half hour.
    painter.fillRect(QRect(0, bottom - 1, width, 2), line);
    painter.fillRect(QRect(hourRight, middle, width - hourRight, 1), line);

    const CDayHour& hourSlots = m_day.hours[static_cast<std::size_t>(row)];
    const int boxWidth = BoxWidth(width, hourSlots.WidestHalf());
    if (boxWidth == 0) {
        return;
    }
    const QPixmap picture = LoadPicture(PictureId::dayMeetingPicture, devicePixelRatioF());
    painter.setFont(TitleFont(font()));
    for (int half = 0; half < 2; ++half) {
        const auto& meetings = hourSlots.halves[static_cast<std::size_t>(half)];
        for (std::size_t k = 0; k < meetings.size(); ++k) {
            const QRect box = BoxRect(row, half, static_cast<int>(k), boxWidth);
            painter.setPen(boxFrame);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box.adjusted(0, 0, -1, -1));
            painter.drawRect(box.adjusted(1, 1, -2, -2));
            painter.drawPixmap(PictureTopLeft(box), picture);
            const QRect titleRect = TitleRect(box);
            const QString& title =
                m_titles[static_cast<std::size_t>(row)][static_cast<std::size_t>(half)][k];
            painter.setPen(text);
            painter.drawText(
                titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                painter.fontMetrics().elidedText(title, Qt::ElideRight, titleRect.width()));
        }
    }
}
