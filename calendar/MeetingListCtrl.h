#pragma once

#include "calendar/CalendarList.h"
#include "calendar/MeetingListGeometry.h"
#include "store/DateTime.h"
#include "store/MeetingListFill.h"
#include "ui/DateTimeFormat.h"
#include "ui/ImageStrip.h"
#include "ui/ListBase.h"

#include <QString>

#include <string>
#include <vector>

class CDesktopServices;
class CMeetingCommands;
class CMeetingStore;

// The agenda: every meeting of the selected date's month, one painted row each in order of
// date and time. A click marks a row; the main frame's Modify, Delete, View and Add to Quick
// View commands act on the marked row; a double click views it and a right click opens the
// Meeting menu for it.
class CMeetingListCtrl : public CListBase, public CCalendarList {
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
    std::string GetMarkedMeetingId() const { return GetMeetingId(GetSelectionMark()); }

    // The texts a row shows, made when it is painted: a month may hold thousands of rows, of
    // which a screen shows a few dozen.
    struct CShownRow {
        QString title;
        QString dateText;
        QString venue;
    };
    CShownRow GetShownRow(int row) const;

protected:
    int ItemCount() const override { return GetRowCount(); }
    QRect ItemRect(int row) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    CItemRange ItemsToPaint(int top, int bottom) const override;
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    void PaintEmpty(QPainter& painter) const override;
    void ActivateItem(int row) override;
    void DeleteItem(int row) override;
    void OpenContextMenu(int row, const QPoint& globalPos) override;
    QPoint MenuAnchor(int row) const override;

private:
    CMeetingStore& m_store;
    CDesktopServices& m_services;
    CMeetingCommands& m_commands;
    CDateTime m_date;
    std::vector<CMeetingRow> m_rows;
    // The locale's patterns, looked up once per fill.
    CDateTimeFormat m_format;
    // The row of the last right click, double click or key command.
    int m_currentItem = -1;
    CImageStrip m_icons;
};
