#pragma once

#include "calendar/CalendarList.h"
#include "store/DateTime.h"
#include "store/DayListFill.h"
#include "ui/ListBase.h"

#include <QString>

#include <array>
#include <string>
#include <vector>

class CDesktopServices;
class CMeetingCommands;
class CMeetingDrag;
class CMeetingStore;

// One day, the selected date, as 24 hour rows split into the half hours :00 and :30; each
// meeting is a framed box with its picture and title in the half hour it starts in. A double
// click on a box views the meeting, elsewhere in a row it adds a meeting at that half hour of
// the date picker's day; dragging a box's picture to another half hour moves the meeting
// there; a right click on a box opens the Meeting menu. The keyboard reaches the meetings too:
// the marked row's current meeting (the one clicked, else the row's first; Left and Right step
// through the row's boxes) carries the focus frame and answers the menu's keys, and Enter
// views it, or adds a meeting at the hour of a row without one.
class CDayListCtrl : public CListBase, public CCalendarList {
    Q_OBJECT

public:
    CDayListCtrl(CMeetingStore& store, CDesktopServices& services, CMeetingCommands& commands,
                 QWidget* parent = nullptr);

    QWidget* GetWidget() override { return this; }
    // Shows the day of `date` afresh. A day other than the one on show opens on its first
    // meeting, or on the morning when it has none; the same day keeps its scroll position.
    void Fill(const CDateTime& date) override;
    void Refresh() override;

    const CDayList& GetDay() const { return m_day; }
    CDateTime GetDate() const { return m_date; }
    // The meeting of the last press, double click or right click on a box.
    const std::string& GetCurrentMeetingId() const { return m_currentId; }
    // The meeting the keys act on: the marked row's current meeting; empty for none.
    std::string KeyMeeting() const;
    const CMeetingDrag& GetDrag() const { return *m_drag; }

    // The box of the k-th meeting of a half of an hour row as the viewport shows it now; an
    // empty rectangle where the row draws no such box.
    QRect ViewportBoxRect(int hour, int half, int k) const;

    // Adds a meeting at `hour`:`minute` of the date picker's day, keeping the picker's second.
    void AddAt(int hour, int minute);

protected:
    int ItemCount() const override { return CDayList::hourCount; }
    QRect ItemRect(int row) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    void ActivateItem(int row) override;
    void OpenContextMenu(int row, const QPoint& globalPos) override;
    QPoint MenuAnchor(int row) const override;
    QRect FocusFrameRect(int row) const override;

    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The meeting whose box lies under a viewport point of `row`, and whether the point is
    // on its picture; no id where no box is hit.
    struct CHit {
        std::string id;
        bool onPicture = false;
    };
    CHit HitMeeting(int row, const QPoint& viewportPos) const;
    // The meeting Enter and the menu keys act on in a row: the current one when it is in
    // that row, else the row's first.
    std::string MeetingOfRow(int row) const;
    // The boxes of a row in the order the keys step through them: the :00 half, then :30.
    std::vector<std::string> RowMeetings(int row) const;
    // The content rectangle of a meeting's box in a row, empty when the row draws none.
    QRect BoxOf(int row, const std::string& id) const;
    // Left or Right: the current meeting becomes the previous or next box of the marked row.
    void StepBox(int step);
    void RunMenu(int row, const std::string& id, const QPoint& globalPos);
    void Drop(const std::string& id, const QPoint& viewportPos);

    CMeetingStore& m_store;
    CDesktopServices& m_services;
    CMeetingCommands& m_commands;
    CMeetingDrag* m_drag = nullptr;
    CDateTime m_date;
    bool m_filled = false;
    CDayList m_day;
    // The titles as shown, made at the fill: a day shows at most 192 boxes.
    std::array<std::array<std::array<QString, CDayList::maxPerHalf>, 2>, CDayList::hourCount>
        m_titles;
    // The row of the last double click or right click, and the meeting of the last press,
    // double click or right click on a box.
    int m_currentRow = -1;
    std::string m_currentId;
};
