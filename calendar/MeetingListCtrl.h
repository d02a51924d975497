#pragma once

#include "calendar/CalendarList.h"
#include "calendar/MeetingListGeometry.h"
#include "store/DateTime.h"
#include "store/MeetingListFill.h"
#include "ui/DateTimeFormat.h"
#include "ui/ImageStrip.h"

#include <QAbstractScrollArea>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class CDesktopServices;
class CMeetingCommands;
class CMeetingStore;
class QMenu;
class QAction;

// The agenda: every meeting of the selected date's month, one painted row each in order of
// date and time. A click marks a row; the main frame's Modify, Delete, View and Add to Quick
// View commands act on the marked row; a double click views it and a right click opens the
// Meeting menu for it.
class CMeetingListCtrl : public QAbstractScrollArea, public CCalendarList {
    Q_OBJECT

public:
    CMeetingListCtrl(CMeetingStore& store, CDesktopServices& services, CMeetingCommands& commands,
                     QWidget* parent = nullptr);

    QWidget* GetWidget() override { return this; }
    // Lists the meetings of the month of `date` afresh; no row is marked afterwards.
    void Fill(const CDateTime& date) override;
    void Refresh() override;

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    std::string GetMeetingId(int row) const;
    // The marked row, -1 when none.
    int GetSelectionMark() const { return m_selectionMark; }
    std::string GetMarkedMeetingId() const { return GetMeetingId(m_selectionMark); }
    void SetSelectionMark(int row);

    // The texts a row shows, made when it is painted: a month may hold thousands of rows, of
    // which a screen shows a few dozen.
    struct CShownRow {
        QString title;
        QString dateText;
        QString venue;
    };
    CShownRow GetShownRow(int row) const;

signals:
    void SelectionMarkChanged(int mark);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void Relayout();
    int RowAtViewport(const QPoint& pos) const;
    void ShowRow(int row);
    void OpenMenu(int row, const QPoint& globalPos);
    void PaintRow(QPainter& painter, int row) const;

    CMeetingStore& m_store;
    CDesktopServices& m_services;
    CMeetingCommands& m_commands;
    CDateTime m_date;
    std::vector<CMeetingRow> m_rows;
    // The locale's patterns, looked up once per fill.
    CDateTimeFormat m_format;
    std::vector<MeetingListGeometry::CRowLayout> m_layouts;
    int m_selectionMark = -1;
    // The row of the last right click, double click or key command.
    int m_currentItem = -1;
    CImageStrip m_icons;
};
