#include "app/RightListView.h"

#include "app/Ask.h"
#include "app/SidePaneGeometry.h"
#include "app/StringTable.h"
#include "app/TextConversion.h"
#include "store/MeetingMap.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace {
constexpr int quickViewStrip = 157;
constexpr int meetingIconBase = 4;
} // namespace

CRightListView::CRightListView(CMeetingMap& quickView, QWidget* parent)
    : QAbstractScrollArea(parent), m_quickView(quickView),
      m_images(LoadImageStrip(quickViewStrip, 32)) {
    setObjectName(QStringLiteral("quickViewPane"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(true);
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(colours);
    setMinimumWidth(50);
    setAccessibleName(QStringLiteral("Quick View"));
    verticalScrollBar()->setSingleStep(SidePaneGeometry::rowHeight / 3);
}

QSize CRightListView::sizeHint() const {
    return QSize(200, 450);
}

void CRightListView::Fill() {
    m_items.clear();
    m_items.push_back({QStringLiteral("QuickAdd"), 0, false, {}});
    m_items.push_back({QStringLiteral("Help"), 1, false, {}});
    m_items.push_back({QStringLiteral("Exit"), 2, false, {}});
    if (m_exportShown) {
        m_items.push_back({LoadResString(StringId::exportMeeting), 3, false, {}});
    }
    RebuildShortcuts();
}

CRightListView::Item CRightListView::MakeShortcut(const std::string& key) const {
    Item item;
    item.isShortcut = true;
    // The map's key, not the record's id: a pinned meeting that has since gone carries an
    // empty record, and its shortcut must still be removable.
    item.meetingId = key;
    const CMeeting* record = m_quickView.Find(key);
    const CMeeting fallback;
    const CMeeting& shown = record != nullptr ? *record : fallback;
    item.text = ToQString(shown.title);
    item.image = meetingIconBase + shown.icon;
    return item;
}

void CRightListView::RebuildShortcuts() {
    const int perPage = ItemsPerPage();
    const int previousCount = GetItemCount();
    const auto first =
        std::min<std::size_t>(static_cast<std::size_t>(FirstShortcutRow()), m_items.size());
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(first), m_items.end());
    for (const CMeetingMap::Entry& entry : m_quickView) {
        m_items.push_back(MakeShortcut(entry.Key()));
    }
    UpdateScrollRange();
    if (previousCount > perPage && perPage > 0) {
        EnsureVisible(perPage - 1);
    }
    m_focusRow = std::clamp(m_focusRow, 0, std::max(GetItemCount() - 1, 0));
    viewport()->update();
}

void CRightListView::AddShortcut(const std::string& id) {
    if (m_quickView.IsEmpty() || !m_quickView.Contains(id)) {
        return;
    }
    // The new shortcut takes its place in the map's order, the order every later rebuild
    // and the next start show, rather than going to the end until then.
    RebuildShortcuts();
}

void CRightListView::ShowExportItem() {
    if (GetItemCount() > exportRow && !m_items[exportRow].isShortcut &&
        m_items[exportRow].text == LoadResString(StringId::exportMeeting)) {
        return;
    }
    const auto at = m_items.begin() + std::min<std::ptrdiff_t>(exportRow, GetItemCount());
    m_items.insert(at, {LoadResString(StringId::exportMeeting), 3, false, {}});
    UpdateScrollRange();
    viewport()->update();
}

void CRightListView::HideExportItem() {
    if (GetItemCount() > exportRow && !m_items[exportRow].isShortcut) {
        m_items.erase(m_items.begin() + exportRow);
    }
    UpdateScrollRange();
    viewport()->update();
}

void CRightListView::SetQuickAddEnabled(bool enabled) {
    m_quickAddEnabled = enabled;
    viewport()->update();
}

void CRightListView::SetExportEnabled(bool enabled) {
    m_exportEnabled = enabled;
    viewport()->update();
}

QString CRightListView::GetItemText(int row) const {
    return row >= 0 && row < GetItemCount() ? m_items[static_cast<std::size_t>(row)].text
                                            : QString();
}

std::string CRightListView::GetItemMeetingId(int row) const {
    return IsShortcutRow(row) ? m_items[static_cast<std::size_t>(row)].meetingId : std::string();
}

bool CRightListView::IsShortcutRow(int row) const {
    return row >= 0 && row < GetItemCount() && m_items[static_cast<std::size_t>(row)].isShortcut;
}

bool CRightListView::IsRowEnabled(int row) const {
    if (row == quickAddRow) {
        return m_quickAddEnabled;
    }
    if (row == exportRow && m_exportShown) {
        return m_exportEnabled;
    }
    return true;
}

void CRightListView::ActivateRow(int row) {
    if (row < 0 || row >= GetItemCount() || !IsRowEnabled(row)) {
        return;
    }
    if (row == quickAddRow) {
        emit quickAddRequested();
    } else if (row == helpRow) {
        emit helpRequested();
    } else if (row == exitRow) {
        if (Ask(StringId::askCloseProgram, this)) {
            emit closeRequested();
        }
    } else if (row == exportRow && m_exportShown) {
        emit exportRequested();
    } else {
        const Item& item = m_items[static_cast<std::size_t>(row)];
        if (item.isShortcut) {
            const CMeeting* record = m_quickView.Find(item.meetingId);
            emit viewRequested(record != nullptr ? record->id : std::string());
        }
    }
}

void CRightListView::RemoveShortcutAt(int row) {
    if (!IsShortcutRow(row) || !Ask(StringId::askRemoveShortcut, this)) {
        return;
    }
    m_quickView.RemoveKey(m_items[static_cast<std::size_t>(row)].meetingId);
    RebuildShortcuts();
}

int CRightListView::RowAtPoint(const QPoint& point) const {
    return SidePaneGeometry::RowAt(point.y(), verticalScrollBar()->value());
}

int CRightListView::ItemsPerPage() const {
    return std::max(viewport()->height() / SidePaneGeometry::rowHeight, 0);
}

void CRightListView::UpdateScrollRange() {
    const int content = GetItemCount() * SidePaneGeometry::rowHeight;
    verticalScrollBar()->setRange(0, std::max(content - viewport()->height(), 0));
    verticalScrollBar()->setPageStep(viewport()->height());
}

void CRightListView::EnsureVisible(int row) {
    const int top = row * SidePaneGeometry::rowHeight;
    const int offset = verticalScrollBar()->value();
    if (top < offset) {
        verticalScrollBar()->setValue(top);
    } else if (top + SidePaneGeometry::rowHeight > offset + viewport()->height()) {
        verticalScrollBar()->setValue(top + SidePaneGeometry::rowHeight - viewport()->height());
    }
}

void CRightListView::paintEvent(QPaintEvent*) {
    using namespace SidePaneGeometry;
    QPainter painter(viewport());
    const int offset = verticalScrollBar()->value();
    const int width = viewport()->width();
    const int firstRow = std::max(RowAt(0, offset), 0);
    const int lastRow = std::min(RowAt(viewport()->height(), offset), GetItemCount() - 1);
    for (int row = firstRow; row <= lastRow; ++row) {
        const Item& item = m_items[static_cast<std::size_t>(row)];
        const QRect rect = RowRect(row, width, offset);
        painter.fillRect(rect.adjusted(0, 0, 0, -1), Qt::white);
        const bool enabled = IsRowEnabled(row);
        painter.setOpacity(enabled ? 1.0 : 0.35);
        if (item.image >= 0) {
            m_images.Draw(painter, ImageRect(rect, m_images.GetImageSize().height()).topLeft(),
                          item.image);
        }
        painter.setPen(Qt::black);
        painter.drawText(TextRect(rect), Qt::AlignCenter | Qt::TextSingleLine,
                         ShortcutCaption(item.text));
        painter.setOpacity(1.0);
        if (hasFocus() && row == m_focusRow) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = rect.adjusted(4, 4, -4, -4);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }
}

void CRightListView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

void CRightListView::mousePressEvent(QMouseEvent* event) {
    const int row = RowAtPoint(event->position().toPoint());
    if (row < 0 || row >= GetItemCount()) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_focusRow = row;
        viewport()->update();
        ActivateRow(row);
    }
}

void CRightListView::mouseMoveEvent(QMouseEvent* event) {
    const int row = RowAtPoint(event->position().toPoint());
    const bool active = row >= 0 && row < GetItemCount() && IsRowEnabled(row);
    viewport()->setCursor(active ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CRightListView::contextMenuEvent(QContextMenuEvent* event) {
    int row = m_focusRow;
    QPoint where = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        row = RowAtPoint(viewport()->mapFromGlobal(event->globalPos()));
    } else {
        const QRect rect =
            SidePaneGeometry::RowRect(row, viewport()->width(), verticalScrollBar()->value());
        where = viewport()->mapToGlobal(rect.center());
    }
    if (IsShortcutRow(row)) {
        ShowRemoveMenu(row, where);
    }
}

void CRightListView::ShowRemoveMenu(int row, const QPoint& globalPos) {
    m_rememberedRow = row;
    QMenu menu(this);
    QAction* remove = menu.addAction(QStringLiteral("Remove"));
    remove->setObjectName(QStringLiteral("removeShortcutAction"));
    if (menu.exec(globalPos) == remove) {
        RemoveShortcutAt(m_rememberedRow);
    }
}

void CRightListView::keyPressEvent(QKeyEvent* event) {
    const int count = GetItemCount();
    switch (event->key()) {
    case Qt::Key_Up:
        m_focusRow = std::max(m_focusRow - 1, 0);
        break;
    case Qt::Key_Down:
        m_focusRow = std::min(m_focusRow + 1, count - 1);
        break;
    case Qt::Key_Home:
        m_focusRow = 0;
        break;
    case Qt::Key_End:
        m_focusRow = count - 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        ActivateRow(m_focusRow);
        return;
    case Qt::Key_Delete:
        RemoveShortcutAt(m_focusRow);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    EnsureVisible(m_focusRow);
    viewport()->update();
}

void CRightListView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void CRightListView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}
