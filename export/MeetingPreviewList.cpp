#include "export/MeetingPreviewList.h"

#include "export/PreviewRowLook.h"
#include "export/PreviewSource.h"
#include "ui/DesktopServices.h"
#include "ui/ListNavigation.h"
#include "ui/MeetingCommands.h"
#include "ui/TextConversion.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

const QColor rowBackground(245, 245, 245);
constexpr int meetingIconWidth = 32;
constexpr int stateImageWidth = 16;

QFont RowFont(const QFont& base, bool bold) {
    QFont font = base;
    // Two lines share a row of 35 pixels.
    font.setPixelSize(12);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

void DrawLine(QPainter& painter, const QRect& box, const QString& text, bool centred) {
    if (box.width() <= 0) {
        return;
    }
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width());
    const Qt::Alignment horizontal = centred ? Qt::AlignHCenter : Qt::AlignLeft;
    painter.drawText(box, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

// The label words of the rows that carry one, for the width of their column.
const QString previewLabels[] = {QStringLiteral("Meeting Id"), QStringLiteral("Date"),
                                 QStringLiteral("Venue"), QStringLiteral("Presided By"),
                                 QStringLiteral("Notes")};

CPreviewLabelColumns LabelColumns(const QFontMetrics& metrics) {
    int widest = 0;
    for (const QString& label : previewLabels) {
        widest = std::max(widest, metrics.horizontalAdvance(label));
    }
    return PreviewLabelColumns(widest, metrics.horizontalAdvance(QLatin1Char(':')));
}

bool IsCopy(const QKeyEvent* key) {
    return key->matches(QKeySequence::Copy);
}

} // namespace

CMeetingPreviewList::CMeetingPreviewList(const CMeetingStore& store, CDesktopServices& services,
                                         CMeetingCommands& commands, QWidget* parent)
    : CListBase(parent), m_store(store), m_services(services), m_commands(commands),
      m_icons(LoadImageStrip(PictureId::meetingIconStrip, meetingIconWidth)),
      m_states(LoadImageStrip(PictureId::previewStates, stateImageWidth)) {
    verticalScrollBar()->setSingleStep(rowHeight);
}

void CMeetingPreviewList::ShowMeeting(const std::string& id) {
    m_meetingId = id;
    m_commands.ShowExportItem();
    const CPreviewSource source = ReadPreviewSource(m_store, id, &ToShownText);
    m_rows = MakePreviewRows(source);
    m_icon = source.icon;
    verticalScrollBar()->setValue(0);
    UpdateScrollRange();
}

void CMeetingPreviewList::Refresh() {
    ShowMeeting(m_meetingId);
}

void CMeetingPreviewList::CopyMeeting() {
    QApplication::clipboard()->setText(
        PreviewPlainText(ReadPreviewSource(m_store, m_meetingId, &ToQString)));
}

QRect CMeetingPreviewList::ItemRect(int row) const {
    return {0, row * rowHeight, viewport()->width(), rowHeight};
}

int CMeetingPreviewList::HitTest(const QPoint& contentPos) const {
    return contentPos.y() < 0 ? -1 : contentPos.y() / rowHeight;
}

CListBase::CItemRange CMeetingPreviewList::ItemsToPaint(int top, int bottom) const {
    const int first = std::max(0, top / rowHeight);
    const int end = std::min(ItemCount(), bottom / rowHeight + 1);
    return {first, end};
}

int CMeetingPreviewList::MoveTarget(int, int) const {
    // No row is ever marked: the movement keys scroll (the scroll area's own handling).
    return ListNavigation::notAMove;
}

void CMeetingPreviewList::OpenContextMenu(int, const QPoint& globalPos) {
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("&Copy"));
    copy->setObjectName(QStringLiteral("copyPreviewAction"));
    copy->setShortcut(QKeySequence::Copy);
    if (m_services.RunMenu(menu, globalPos) == copy) {
        CopyMeeting();
    }
}

bool CMeetingPreviewList::event(QEvent* event) {
    // Escape and Copy belong to the preview while it has the focus, whatever the window binds.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape || IsCopy(key)) {
            event->accept();
            return true;
        }
    }
    return CListBase::event(event);
}

void CMeetingPreviewList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit leaveRequested();
        event->accept();
        return;
    }
    if (IsCopy(event)) {
        CopyMeeting();
        event->accept();
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        OpenContextMenu(-1, viewport()->mapToGlobal(QPoint(20, 20)));
        event->accept();
        return;
    }
    if (key == Qt::Key_Home || key == Qt::Key_End) {
        QScrollBar* bar = verticalScrollBar();
        bar->setValue(key == Qt::Key_Home ? bar->minimum() : bar->maximum());
        event->accept();
        return;
    }
    CListBase::keyPressEvent(event);
}

void CMeetingPreviewList::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    const auto index = static_cast<std::size_t>(row);
    if (index >= m_rows.size()) {
        return;
    }
    const CPreviewRowLook look = LookOfPreviewRow(m_rows[index], row == 0);
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.right() + 1;
    const int height = rect.height();

    // Rows touch: the fill reaches one pixel into each neighbour.
    painter.fillRect(rect.adjusted(0, -1, 0, 1), rowBackground);
    painter.setPen(Qt::black);
    painter.setFont(RowFont(font(), look.firstBold));

    if (look.wholeHeight) {
        if (look.meetingIcon) {
            painter.save();
            painter.setClipRect(rect);
            m_icons.Draw(painter, QPoint(left + look.firstX, top + 1), m_icon);
            painter.restore();
            DrawLine(painter, PreviewTitleBox(rect, meetingIconWidth), look.firstLine, true);
            return;
        }
        DrawFirstLine(painter, look, QRect(left, top, right - left, height));
        return;
    }
    if (look.stateImage != CPreviewRowLook::noImage) {
        m_states.Draw(painter, QPoint(left + look.stateImageX, top), look.stateImage);
    }
    if (look.doneMark != CPreviewRowLook::noImage) {
        m_states.Draw(painter, QPoint(left + look.doneMarkX, top), look.doneMark);
    }
    const int half = height / 2;
    DrawFirstLine(painter, look, QRect(left, top, right - left, half));
    if (!look.secondLine.isEmpty()) {
        painter.setFont(RowFont(font(), false));
        DrawLine(painter,
                 QRect(left + look.secondX, top + half + 1, right - left - look.secondX,
                       height - half - 1),
                 look.secondLine, false);
    }
}

void CMeetingPreviewList::DrawFirstLine(QPainter& painter, const CPreviewRowLook& look,
                                        const QRect& band) const {
    const int left = band.left();
    const int right = band.right() + 1;
    if (look.label.isEmpty()) {
        DrawLine(painter,
                 QRect(left + look.firstX, band.top(), right - left - look.firstX, band.height()),
                 look.firstLine, look.centred);
        return;
    }
    // The row's text keeps its blanks; on screen the colons and values stand in columns.
    const CPreviewLabelColumns columns = LabelColumns(painter.fontMetrics());
    DrawLine(painter,
             QRect(left + look.firstX, band.top(), columns.colonX - look.firstX, band.height()),
             look.label, false);
    DrawLine(
        painter,
        QRect(left + columns.colonX, band.top(), columns.valueX - columns.colonX, band.height()),
        QStringLiteral(":"), false);
    DrawLine(painter,
             QRect(left + columns.valueX, band.top(), right - left - columns.valueX, band.height()),
             look.firstLine, false);
}
