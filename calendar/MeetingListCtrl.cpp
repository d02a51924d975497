#include "calendar/MeetingListCtrl.h"

#include "store/MeetingListFill.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/FocusFrame.h"
#include "ui/MeetingCommands.h"
#include "ui/TextConversion.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
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
    : QAbstractScrollArea(parent), m_store(store), m_services(services), m_commands(commands),
      m_icons(LoadImageStrip(meetingIconStrip, MeetingListGeometry::iconWidth)) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    // Right clicks and the Menu key open the Meeting menu here, for the row they concern.
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, Qt::white);
    viewport()->setPalette(palette);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void CMeetingListCtrl::Fill(const CDateTime& date) {
    m_date = date;
    m_rows = FillMeetingList(m_store, date);
    m_format = CDateTimeFormat();
    m_currentItem = -1;
    verticalScrollBar()->setValue(0);
    Relayout();
    if (m_selectionMark != -1) {
        m_selectionMark = -1;
        emit SelectionMarkChanged(-1);
    }
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

void CMeetingListCtrl::SetSelectionMark(int row) {
    if (row < 0 || row >= GetRowCount()) {
        row = -1;
    }
    if (row == m_selectionMark) {
        return;
    }
    m_selectionMark = row;
    viewport()->update();
    emit SelectionMarkChanged(row);
}

void CMeetingListCtrl::Relayout() {
    const int width = viewport()->width();
    m_layouts.clear();
    m_layouts.reserve(m_rows.size());
    for (int row = 0; row < GetRowCount(); ++row) {
        m_layouts.push_back(MeetingListGeometry::RowLayout(row, width));
    }
    const int height = viewport()->height();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, MeetingListGeometry::ScrollMaximum(GetRowCount(), height));
    bar->setPageStep(std::max(1, height));
    bar->setSingleStep(MeetingListGeometry::rowHeight);
    viewport()->update();
}

int CMeetingListCtrl::RowAtViewport(const QPoint& pos) const {
    return MeetingListGeometry::RowAt(pos.y() + verticalScrollBar()->value(), GetRowCount());
}

void CMeetingListCtrl::ShowRow(int row) {
    if (row < 0) {
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(MeetingListGeometry::ScrollToShow(row, bar->value(), viewport()->height()));
}

void CMeetingListCtrl::OpenMenu(int row, const QPoint& globalPos) {
    m_currentItem = row;
    // The command may refill the list, so the id is taken before it runs.
    const std::string id = GetMeetingId(row);
    const bool canEdit = m_commands.CanEditMeetings();

    QMenu menu(this);
    menu.setObjectName(QStringLiteral("meetingMenu"));
    auto addAction = [&menu](const QString& text, const char* name) {
        QAction* action = menu.addAction(text);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    QAction* add = addAction(tr("&Add"), "meetingAdd");
    QAction* modify = addAction(tr("M&odify"), "meetingModify");
    QAction* remove = addAction(tr("&Delete"), "meetingDelete");
    QAction* view = addAction(tr("&View"), "meetingView");
    menu.addSeparator();
    QAction* quickView = addAction(tr("Add to Quick View"), "meetingAddToQuickView");
    add->setEnabled(canEdit);
    modify->setEnabled(canEdit);

    QAction* chosen = m_services.RunMenu(menu, globalPos);
    if (chosen == nullptr || !chosen->isEnabled()) {
        return;
    }
    if (chosen == add) {
        m_commands.AddMeeting(m_commands.GetPickerDateTime());
    } else if (chosen == modify) {
        m_commands.ModifyMeeting(id);
    } else if (chosen == remove) {
        m_commands.DeleteMeeting(id);
    } else if (chosen == view) {
        m_commands.ViewMeeting(id);
    } else if (chosen == quickView) {
        m_commands.AddToQuickView(id);
    }
}

void CMeetingListCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::white);
    if (m_rows.empty()) {
        const QPixmap picture = LoadPicture(emptyListPicture, viewport()->devicePixelRatioF());
        if (!picture.isNull()) {
            painter.drawPixmap(MeetingListGeometry::emptyPicturePoint, picture);
        }
        if (hasFocus()) {
            DrawFocusFrame(painter, viewport()->rect(), *this);
        }
        return;
    }
    const int scroll = verticalScrollBar()->value();
    painter.translate(0, -scroll);
    const auto visible =
        MeetingListGeometry::VisibleRows(scroll, viewport()->height(), GetRowCount());
    for (int row = visible.first; row < visible.end; ++row) {
        PaintRow(painter, row);
    }
    if (hasFocus()) {
        // The marked row carries the frame; without a mark, the whole list does.
        const auto mark = static_cast<std::size_t>(m_selectionMark);
        if (m_selectionMark >= 0 && mark < m_layouts.size()) {
            DrawFocusFrame(painter, m_layouts[mark].bounds.adjusted(1, 1, -1, -1), *this);
        } else {
            painter.resetTransform();
            DrawFocusFrame(painter, viewport()->rect(), *this);
        }
    }
}

void CMeetingListCtrl::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void CMeetingListCtrl::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void CMeetingListCtrl::PaintRow(QPainter& painter, int row) const {
    const auto index = static_cast<std::size_t>(row);
    if (index >= m_layouts.size()) {
        return;
    }
    const MeetingListGeometry::CRowLayout& layout = m_layouts[index];
    const CShownRow shown = GetShownRow(row);

    painter.fillRect(layout.background, row == m_selectionMark ? markedBackground : Qt::white);

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
    painter.save();
    painter.setClipRect(layout.bounds);
    m_icons.Draw(painter, layout.icon, m_rows[index].icon);
    painter.restore();
}

void CMeetingListCtrl::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void CMeetingListCtrl::scrollContentsBy(int, int) {
    viewport()->update();
}

void CMeetingListCtrl::mousePressEvent(QMouseEvent* event) {
    const int row = RowAtViewport(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        // A click below the rows clears the mark, as in other lists of the desktop.
        SetSelectionMark(row);
        viewport()->update();
    } else if (event->button() == Qt::RightButton) {
        if (row == -1) {
            return;
        }
        SetSelectionMark(row);
        viewport()->update();
        OpenMenu(row, event->globalPosition().toPoint());
    }
}

void CMeetingListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_selectionMark == -1) {
        return;
    }
    m_currentItem = m_selectionMark;
    m_commands.ViewMeeting(GetMeetingId(m_currentItem));
}

void CMeetingListCtrl::keyPressEvent(QKeyEvent* event) {
    const int count = GetRowCount();
    const int mark = m_selectionMark;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End: {
        if (count == 0) {
            break;
        }
        int row = 0;
        if (event->key() == Qt::Key_Up) {
            row = mark <= 0 ? 0 : mark - 1;
        } else if (event->key() == Qt::Key_Down) {
            row = mark < 0 ? 0 : std::min(mark + 1, count - 1);
        } else if (event->key() == Qt::Key_End) {
            row = count - 1;
        }
        SetSelectionMark(row);
        ShowRow(row);
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mark != -1) {
            m_currentItem = mark;
            m_commands.ViewMeeting(GetMeetingId(mark));
        }
        break;
    case Qt::Key_Delete:
        if (mark != -1) {
            m_currentItem = mark;
            m_commands.DeleteMeeting(GetMeetingId(mark));
        }
        break;
    case Qt::Key_F10:
        if (event->modifiers() != Qt::ShiftModifier) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        [[fallthrough]];
    case Qt::Key_Menu:
        if (mark != -1) {
            ShowRow(mark);
            const QRect rect = m_layouts[static_cast<std::size_t>(mark)].dateText.translated(
                0, -verticalScrollBar()->value());
            OpenMenu(mark, viewport()->mapToGlobal(rect.bottomLeft()));
        }
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}
