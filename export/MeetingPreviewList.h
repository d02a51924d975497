#pragma once

#include "export/PreviewRows.h"
#include "ui/ImageStrip.h"
#include "ui/ListBase.h"

#include <string>
#include <vector>

class CDesktopServices;
class CMeetingCommands;
class CMeetingStore;
struct CPreviewRowLook;

// The preview of one meeting (calendar mode 4): its title, fields and notes, then its
// attendees, agenda, minutes and todos, read-only, one painted row of 35 pixels each. Copy
// (Ctrl+C, or the context menu) puts the meeting on the clipboard as plain text; Escape asks
// to leave the preview.
class CMeetingPreviewList : public CListBase {
    Q_OBJECT

public:
    static constexpr int rowHeight = 35;

    CMeetingPreviewList(const CMeetingStore& store, CDesktopServices& services,
                        CMeetingCommands& commands, QWidget* parent = nullptr);

    // Rebuilds the rows for the meeting `id` from the store and its content files, and offers
    // the quick view pane's export item.
    void ShowMeeting(const std::string& id);
    // The id last shown, which Modify, Delete and the export act on.
    const std::string& GetMeetingId() const { return m_meetingId; }
    const std::vector<CPreviewRow>& GetRows() const { return m_rows; }

    // Puts the meeting on show on the clipboard as plain text.
    void CopyMeeting();

    // Shows the kept meeting again, as it is now.
    void Refresh();

signals:
    // Escape was pressed: the user is done with the preview.
    void leaveRequested();

protected:
    int ItemCount() const override { return static_cast<int>(m_rows.size()); }
    QRect ItemRect(int row) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override { return ItemCount() * rowHeight; }
    CItemRange ItemsToPaint(int top, int bottom) const override;
    int MoveTarget(int key, int mark) const override;
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    // Rows are read, not picked: a click only brings the focus.
    void PressItem(int) override {}
    void DoubleClickItem(int) override {}
    void OpenContextMenu(int row, const QPoint& globalPos) override;

    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The first line of a row in `band`: a label row's label, colon and value in their columns.
    void DrawFirstLine(QPainter& painter, const CPreviewRowLook& look, const QRect& band) const;

    const CMeetingStore& m_store;
    CDesktopServices& m_services;
    CMeetingCommands& m_commands;
    std::string m_meetingId;
    std::vector<CPreviewRow> m_rows;
    std::int32_t m_icon = 0;
    CImageStrip m_icons;
    CImageStrip m_states;
};
