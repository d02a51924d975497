#pragma once

#include "calendar/CalendarList.h"
#include "store/DateTime.h"
#include "store/MonthGridFill.h"
#include "ui/ImageStrip.h"
#include "ui/ListBase.h"

#include <QString>

class CDesktopServices;
class CMeetingStore;
class CMonthHeaderCtrl;

// The month as six weeks of seven days, Sunday first, under a strip of day names. Each cell
// shows its day, bold on white for the days of the month and on grey around it, and how many
// meetings fall on it; today's day number stands on a blue badge. A click on a day, or Enter on the
// marked one, opens that day.
class CMonthListCtrl : public CListBase, public CCalendarList {
    Q_OBJECT

public:
    CMonthListCtrl(CMeetingStore& store, const CDesktopServices& services,
                   QWidget* parent = nullptr);

    QWidget* GetWidget() override { return this; }
    // The grid around the month of `date`, with the day of `date` marked.
    void Fill(const CDateTime& date) override;
    void Refresh() override;

    const CMonthGrid& GetGrid() const { return m_grid; }
    // The cell that holds the day of `date`, -1 when the grid does not show it.
    int CellOf(const CDateTime& date) const;
    // The cell of today as of the last fill, -1 when the grid does not show it.
    int GetTodayCell() const { return m_todayCell; }

signals:
    // The user picked the day of a cell (its midnight).
    void DayOpened(const CDateTime& day);
    // The titles of the meetings of the day under the cursor, for the calendar's tooltip.
    void ToolTipChanged(const QString& text);

protected:
    int ItemCount() const override { return CMonthGrid::cellCount; }
    QRect ItemRect(int cell) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    int ColumnCount() const override { return CMonthGrid::columns; }
    void PaintItem(QPainter& painter, int cell, const QRect& rect) const override;
    void PressItem(int cell) override;
    void ActivateItem(int cell) override;
    void HoverItem(int cell) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OpenDay(int cell);

    CMeetingStore& m_store;
    const CDesktopServices& m_services;
    CDateTime m_date;
    int m_todayCell = -1;
    CMonthGrid m_grid;
    CMonthHeaderCtrl* m_header = nullptr;
    // The cell a left press landed on, opened when the button comes up over it.
    int m_pressedCell = -1;
    // The cell whose tooltip was last given; the tooltip is worked out again on entering
    // another cell, and after a fill.
    int m_tipCell = -1;
};
