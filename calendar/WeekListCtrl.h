#pragma once

#include "calendar/CalendarList.h"
#include "store/DateTime.h"
#include "store/WeekListFill.h"
#include "ui/DateTimeFormat.h"
#include "ui/ListBase.h"

#include <QPixmap>
#include <QString>

#include <array>
#include <string>
#include <vector>

class CDesktopServices;
class CMeetingCommands;
class CMeetingDrag;
class CMeetingStore;
class CWeekHeaderCtrl;
class CWindowToolTip;

// The week of the selected date as 24 hour rows by 7 day columns, each meeting a small framed
// picture in the cell of its weekday and starting hour. Hovering a meeting names it in the
// page's tooltip; a double click views it, or adds a meeting on an empty spot of a cell; a
// right click on it opens the Meeting menu; dragging it to another cell moves it there.
// The cells are the items: the arrow keys move the mark from cell to cell, Left and Right
// stepping first through the boxes of a crowded cell. The marked cell's current meeting (the
// one clicked, else the cell's first) carries the focus frame and answers the Meeting menu's
// keys; Enter views it, or adds a meeting at the hour of an empty cell.
class CWeekListCtrl : public CListBase, public CCalendarList {
    Q_OBJECT

public:
    CWeekListCtrl(CMeetingStore& store, CDesktopServices& services, CMeetingCommands& commands,
                  QWidget* parent = nullptr);

    QWidget* GetWidget() override { return this; }
    // Shows the week of `date`, scrolled to its first meeting's hour, or to 08:00.
    void Fill(const CDateTime& date) override;
    void Refresh() override;

    // The page's tooltip, which the list keeps naming the meeting under the cursor.
    void SetToolTip(CWindowToolTip* toolTip) { m_toolTip = toolTip; }

    CWeekHeaderCtrl& GetHeader() { return *m_header; }
    const CWeekList& GetWeek() const { return m_week; }
    int GetDayColumnWidth() const { return m_dayWidth; }
    const CMeetingDrag& GetDrag() const { return *m_drag; }
    // What the tooltip says for the spot under the cursor; empty off the meetings.
    const QString& GetToolText() const { return m_toolText; }
    // The id of the meeting whose box holds a viewport point; empty for none.
    std::string MeetingAtViewport(const QPoint& pos) const;
    // The date and hour a cell stands for, at minute 0.
    CDateTime CellDate(int item) const;
    // The meeting ids of a cell, in their order of boxes.
    std::vector<std::string> CellMeetings(int item) const;
    // The meeting the keys act on: the marked cell's current meeting; empty for none.
    std::string KeyMeeting() const;

protected:
    int ItemCount() const override;
    QRect ItemRect(int item) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    int ColumnCount() const override;
    void LayoutItems() override;
    void PaintItem(QPainter& painter, int item, const QRect& rect) const override;
    void PaintDecoration(QPainter& painter, const QRect& band) const override;
    void PressItem(int item) override;
    void DoubleClickItem(int item) override;
    void ActivateItem(int item) override;
    void OpenContextMenu(int item, const QPoint& globalPos) override;
    QPoint MenuAnchor(int item) const override;
    void HoverItem(int item) override;
    QRect FocusFrameRect(int item) const override;

    void keyPressEvent(QKeyEvent* event) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The slot of the meeting whose box holds a content point, -1 for none.
    int SlotAt(const QPoint& contentPos) const;
    int CellCount(int item) const;
    // The current meeting of a cell: the one last clicked when it is there, else the first.
    std::string MeetingOfCell(int item) const;
    // Left or Right within the marked cell's boxes; false at the cell's first or last box.
    bool StepBox(int step);
    // Moves a dragged meeting to the cell under a viewport point, keeping its minute and
    // second; nothing on the hour column or on the meeting's own cell.
    void DropMeeting(const std::string& id, const QPoint& pos);

    CMeetingStore& m_store;
    CDesktopServices& m_services;
    CMeetingCommands& m_commands;
    CWindowToolTip* m_toolTip = nullptr;
    CWeekHeaderCtrl* m_header = nullptr;
    CMeetingDrag* m_drag = nullptr;

    CDateTime m_date;
    bool m_filled = false;
    CWeekList m_week;
    // The meetings of each cell, in the order of their boxes.
    std::array<std::vector<int>, 7 * 24> m_cells;
    CDateTimeFormat m_format;
    int m_dayWidth = 0;
    // The last point of a press, double click or hover, in content coordinates.
    QPoint m_mousePos;
    QString m_toolText;
    // The meeting last pressed, clicked or stepped to.
    std::string m_currentId;
    QPixmap m_meetingPicture;
};
