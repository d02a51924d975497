#include "calendar/MeetingListCtrl.h"

#include "store/MeetingListFill.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/MeetingCommands.h"
#include "ui/MeetingMenu.h"
#include "ui/TextConversion.h"

#include <QMenu>
#include <QPainter>
#include <QScrollBar>

namespace {

using PictureId::emptyListPicture;
using PictureId::meetingIconStrip;

const QColor markedBackground(233, 233, 233);
const QColor titleColour(61, 110, 196);
const QColor separatorColour(132, 130, 132);

QFont RowFont(const QFont& base, QFont::Weight weight) {
    QFont font = base;
    font.setPixelSize(13);
    font.setWeight(weight);
    return font;
}

void DrawRowText(QPainter& painter, const QRect& rect, const QString& text) {
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

} // namespace

CMeetingListCtrl::CMeetingListCtrl(CMeetingStore& store, CDesktopServices& services,
                                   CMeetingCommands& commands, QWidget* parent)
    : CListBase(parent), m_store(store), m_services(services), m_commands(commands),
      m_icons(LoadImageStrip(meetingIconStrip, MeetingListGeometry::iconWidth)) {
    verticalScrollBar()->setSingleStep(MeetingListGeometry::rowHeight);
}

void CMeetingListCtrl::Fill(const CDateTime& date) {
    m_date = date;
    m_rows = FillMeetingList(m_store, date);
    m_format = CDateTimeFormat();
    m_currentItem = -1;
    verticalScrollBar()->setValue(0);
    UpdateScrollRange();
    SetSelectionMark(-1);
}

void CMeetingListCtrl::Refresh() {
    Fill(m_date);
}

std::string CMeetingListCtrl::GetMeetingId(int row) const {
    if (row < 0 || row >= GetRowCount()) {
        return {};
    }
    return m_rows[static_cast<std::size_t>(row)].id;
}

CMeetingListCtrl::CShownRow CMeetingListCtrl::GetShownRow(int row) const {
    if (row < 0 || row >= GetRowCount()) {
        return {};
    }
    const CMeetingRow& meeting = m_rows[static_cast<std::size_t>(row)];
    return {ToShownText(meeting.title), m_format.DateAndTime(meeting.date),
            ToShownText(meeting.venue)};
}

QRect CMeetingListCtrl::ItemRect(int row) const {
    return row >= 0 && row < GetRowCount()
               ? MeetingListGeometry::RowLayout(row, viewport()->width()).bounds
               : QRect();
}

int CMeetingListCtrl::HitTest(const QPoint& contentPos) const {
    return MeetingListGeometry::RowAt(contentPos.y(), GetRowCount());
}

int CMeetingListCtrl::ContentHeight() const {
    return MeetingListGeometry::ContentHeight(GetRowCount());
}

CListBase::CItemRange CMeetingListCtrl::ItemsToPaint(int top, int bottom) const {
    const auto visible = MeetingListGeometry::VisibleRows(top, bottom - top, GetRowCount());
    return {visible.first, visible.end};
}

QPoint CMeetingListCtrl::MenuAnchor(int row) const {
    return row >= 0 && row < GetRowCount()
               ? MeetingListGeometry::RowLayout(row, viewport()->width()).dateText.bottomLeft()
               : QPoint();
}

void CMeetingListCtrl::ActivateItem(int row) {
    m_currentItem = row;
    m_commands.ViewMeeting(GetMeetingId(row));
}

void CMeetingListCtrl::DeleteItem(int row) {
    m_currentItem = row;
    m_commands.DeleteMeeting(GetMeetingId(row));
}

void CMeetingListCtrl::OpenContextMenu(int row, const QPoint& globalPos) {
    // A right click below the rows does nothing, and leaves the mark alone.
    if (row == -1) {
        return;
    }
    SetSelectionMark(row);
    m_currentItem = row;
    // The command may refill the list, so the id is taken before it runs.
    const std::string id = GetMeetingId(row);
    QMenu menu(this);
    FillMeetingMenu(menu, m_commands, !id.empty());
    RunMeetingMenuChoice(m_commands, m_services.RunMenu(menu, globalPos), id);
}

void CMeetingListCtrl::PaintEmpty(QPainter& painter) const {
    const QPixmap picture = LoadPicture(emptyListPicture, viewport()->devicePixelRatioF());
    if (!picture.isNull()) {
        painter.drawPixmap(MeetingListGeometry::emptyPicturePoint, picture);
    }
}

void CMeetingListCtrl::PaintItem(QPainter& painter, int row, const QRect&) const {
    if (row < 0 || row >= GetRowCount()) {
        return;
    }
    // Laid out as it is painted: a month may hold thousands of rows, a screen shows a few dozen.
    const MeetingListGeometry::CRowLayout layout =
        MeetingListGeometry::RowLayout(row, viewport()->width());
    const CShownRow shown = GetShownRow(row);

    painter.fillRect(layout.background,
                     row == GetSelectionMark() ? markedBackground : QColor(Qt::white));

    painter.setFont(RowFont(font(), QFont::Bold));
    painter.setPen(titleColour);
    DrawRowText(painter, layout.title, shown.title);
    painter.setPen(Qt::black);
    DrawRowText(painter, layout.dateText, shown.dateText);
    painter.setFont(RowFont(font(), QFont::Normal));
    DrawRowText(painter, layout.venue, shown.venue);

    painter.setPen(QPen(separatorColour, 1));
    painter.drawLine(layout.separator);

    // The icon hangs from the middle third; what reaches below the row is not shown.
    painter.setClipRect(layout.bounds);
    m_icons.Draw(painter, layout.icon, m_rows[static_cast<std::size_t>(row)].icon);
}
