#include "app/RightListView.h"

#include "app/SidePaneGeometry.h"
#include "store/MeetingMap.h"
#include "ui/DesktopServices.h"
#include "ui/StringTable.h"
#include "ui/TextConversion.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {
using PictureId::quickViewStrip;
constexpr int meetingIconBase = 4;
} // namespace

CRightListView::CRightListView(CMeetingMap& quickView, CDesktopServices& services, QWidget* parent)
    : CListBase(parent), m_quickView(quickView), m_services(services),
      m_images(LoadImageStrip(quickViewStrip, 32)) {
    setObjectName(QStringLiteral("quickViewPane"));
    viewport()->setMouseTracking(true);
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
    item.text = ToShownText(shown.title);
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
        ScrollTo(perPage - 1);
    }
    SetSelectionMark(std::clamp(GetSelectionMark(), 0, std::max(GetItemCount() - 1, 0)));
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
    // The rows below move down one; the focus and the next Enter stay with the shortcut the
    // user was on, not with the item that came in above it.
    if (GetSelectionMark() >= exportRow) {
        SetSelectionMark(GetSelectionMark() + 1);
    }
    viewport()->update();
}

void CRightListView::HideExportItem() {
    if (GetItemCount() > exportRow && !m_items[exportRow].isShortcut) {
        m_items.erase(m_items.begin() + exportRow);
        // A shortcut keeps the focus as it moves up; on the export item itself the focus
        // stays on a row when the row it was on goes.
        if (GetSelectionMark() > exportRow) {
            SetSelectionMark(GetSelectionMark() - 1);
        }
    }
    SetSelectionMark(std::min(GetSelectionMark(), GetItemCount() - 1));
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
        if (m_services.Ask(StringId::askCloseProgram, this)) {
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
    if (!IsShortcutRow(row) || !m_services.Ask(StringId::askRemoveShortcut, this)) {
        return;
    }
    m_quickView.RemoveKey(m_items[static_cast<std::size_t>(row)].meetingId);
    RebuildShortcuts();
}

int CRightListView::ItemsPerPage() const {
    return std::max(viewport()->height() / SidePaneGeometry::rowHeight, 0);
}

QRect CRightListView::ItemRect(int row) const {
    return SidePaneGeometry::RowRect(row, viewport()->width());
}

int CRightListView::HitTest(const QPoint& contentPos) const {
    return SidePaneGeometry::RowAt(contentPos.y());
}

int CRightListView::ContentHeight() const {
    return GetItemCount() * SidePaneGeometry::rowHeight;
}

QRect CRightListView::FocusFrameRect(int row) const {
    return ItemRect(row).adjusted(3, 3, -3, -4);
}

void CRightListView::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    using namespace SidePaneGeometry;
    const Item& item = m_items[static_cast<std::size_t>(row)];
    painter.fillRect(rect.adjusted(0, 0, 0, -1), Qt::white);
    painter.setOpacity(IsRowEnabled(row) ? 1.0 : 0.35);
    if (item.image >= 0) {
        m_images.Draw(painter, ImageRect(rect, m_images.GetImageSize().height()).topLeft(),
                      item.image);
    }
    painter.setPen(Qt::black);
    painter.drawText(TextRect(rect), Qt::AlignCenter | Qt::TextSingleLine,
                     ShortcutCaption(item.text));
}

void CRightListView::PressItem(int row) {
    if (row < 0) {
        return;
    }
    SetSelectionMark(row);
    ActivateRow(row);
}

void CRightListView::DoubleClickItem(int row) {
    // The second click of a double click is a click of its own, as on any button.
    PressItem(row);
}

void CRightListView::HoverItem(int row) {
    viewport()->setCursor(row >= 0 && IsRowEnabled(row) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CRightListView::OpenContextMenu(int row, const QPoint& globalPos) {
    if (IsShortcutRow(row)) {
        ShowRemoveMenu(row, globalPos);
    } else if (row == exportRow && m_exportShown && IsRowEnabled(row)) {
        ShowExportMenu(globalPos);
    }
}

void CRightListView::ShowExportMenu(const QPoint& globalPos) {
    QMenu menu(this);
    QAction* page = menu.addAction(QStringLiteral("Export as &HTML Page..."));
    page->setObjectName(QStringLiteral("exportPageAction"));
    QAction* calendar = menu.addAction(QStringLiteral("Export as &iCalendar..."));
    calendar->setObjectName(QStringLiteral("exportCalendarAction"));
    const QAction* chosen = m_services.RunMenu(menu, globalPos);
    if (chosen == page) {
        emit exportRequested();
    } else if (chosen == calendar) {
        emit exportCalendarRequested();
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
    if (event->key() == Qt::Key_Space) {
        ActivateRow(GetSelectionMark());
        return;
    }
    CListBase::keyPressEvent(event);
}
