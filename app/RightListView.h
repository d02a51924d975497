#pragma once

#include "ui/ImageStrip.h"
#include "ui/ListBase.h"

#include <string>
#include <vector>

class CDesktopServices;
class CMeetingMap;

// The quick view pane: Quick Add, Help and Exit, an "Export Meeting" item while a meeting is
// previewed (its context menu offers the iCalendar file as well), then one shortcut per pinned
// meeting in the order of the quick view map.
class CRightListView : public CListBase {
    Q_OBJECT

public:
    enum FixedRow { quickAddRow = 0, helpRow = 1, exitRow = 2, exportRow = 3 };

    CRightListView(CMeetingMap& quickView, CDesktopServices& services, QWidget* parent = nullptr);

    // Puts the three fixed items back, then the shortcuts.
    void Fill();
    // Replaces every shortcut item with one per entry of the quick view map.
    void RebuildShortcuts();
    // Shows the shortcut of one id just pinned, in the quick view map's order.
    void AddShortcut(const std::string& id);

    // The export item is inserted at row 3 while the flag is set; shortcuts move down one.
    void ShowExportItem();
    void HideExportItem();
    bool IsExportItemShown() const { return m_exportShown; }
    void SetExportItemShown(bool shown) { m_exportShown = shown; }

    // Commands that are not part of the program yet are drawn disabled and do nothing.
    void SetQuickAddEnabled(bool enabled);
    void SetExportEnabled(bool enabled);

    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    QString GetItemText(int row) const;
    // The meeting id of a shortcut row; empty for other rows and for a shortcut without one.
    std::string GetItemMeetingId(int row) const;
    int FirstShortcutRow() const { return m_exportShown ? 4 : 3; }
    bool IsShortcutRow(int row) const;

    // What a click, and the context menu's Remove, do on a row.
    void ActivateRow(int row);
    void RemoveShortcutAt(int row);

    QSize sizeHint() const override;

signals:
    void quickAddRequested();
    void helpRequested();
    void closeRequested();
    void exportRequested();
    void exportCalendarRequested();
    void viewRequested(const std::string& id);

protected:
    int ItemCount() const override { return GetItemCount(); }
    QRect ItemRect(int row) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    QRect FocusFrameRect(int row) const override;
    void PressItem(int row) override;
    void DoubleClickItem(int row) override;
    void ActivateItem(int row) override { ActivateRow(row); }
    void DeleteItem(int row) override { RemoveShortcutAt(row); }
    void OpenContextMenu(int row, const QPoint& globalPos) override;
    void HoverItem(int row) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Item {
        QString text;
        int image = -1; // in the quick view strip; -1 draws none
        bool isShortcut = false;
        std::string meetingId; // the pinned id of a shortcut
    };

    Item MakeShortcut(const std::string& key) const;
    bool IsRowEnabled(int row) const;
    void ShowRemoveMenu(int row, const QPoint& globalPos);
    void ShowExportMenu(const QPoint& globalPos);
    int ItemsPerPage() const;

    CMeetingMap& m_quickView;
    CDesktopServices& m_services;
    CImageStrip m_images;
    std::vector<Item> m_items;
    bool m_exportShown = false;
    bool m_quickAddEnabled = true;
    bool m_exportEnabled = true;
    int m_rememberedRow = -1;
};
