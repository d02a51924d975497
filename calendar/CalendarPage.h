#pragma once

#include "store/DateTime.h"

#include <QWidget>

#include <QString>

#include <array>
#include <memory>
#include <string>

class CDayListCtrl;
class CDesktopServices;
class CMeetingStore;
class CCalendarList;
class CMeetingCommands;
class CMeetingListCtrl;
class CMonthListCtrl;
class COpenTodoListCtrl;
class CSearchResultsCtrl;
class CMeetingPreviewList;
class CWeekListCtrl;
class CWindowToolTip;

// The calendar: seven lists stacked at one place, of which the one of the calendar mode is
// visible, all filled for the selected date (the preview for the previewed meeting, the search
// results for the words searched, the open todos for every meeting).
class CCalendarPage : public QWidget {
    Q_OBJECT

public:
    enum Mode {
        agendaMode = 0,
        dayMode = 1,
        weekMode = 2,
        monthMode = 3,
        previewMode = 4,
        searchMode = 5,
        todosMode = 6
    };
    static constexpr int modeCount = 7;

    // Opens in the day mode on the clock's "now".
    CCalendarPage(CMeetingStore& store, CDesktopServices& services, CMeetingCommands& commands,
                  QWidget* parent = nullptr);
    ~CCalendarPage() override;

    // Shows the list of `mode` alone (none for a value outside 0..6), keeps the mode, lets
    // the frame set the date picker's format and refills the list.
    void ShowMode(int mode);
    void GoToDate(const CDateTime& date);
    // Refills the list of the current mode; any mode outside 1..6 is the meeting list's.
    void RefreshList();

    // The search results for `words`, the first hit marked; the mode shown before is where
    // LeaveSearch goes back to.
    void ShowSearch(const QString& words);
    // Back to the mode shown before the search (when the results are on show).
    void LeaveSearch();
    // The index has changed: the search results or the open todos, if on show, ask again.
    void RefreshFoundLists();

    int GetMode() const { return m_mode; }
    CDateTime GetSelectedDate() const { return m_selectedDate; }
    void SetSelectedDate(const CDateTime& date) { m_selectedDate = date; }

    // Written by the frame's View just before ShowMode(previewMode).
    void SetPreviewedMeetingId(const std::string& id) { m_previewedMeetingId = id; }
    // The meeting the preview shows, which Modify, Delete and the export act on in mode 4.
    std::string GetShownMeetingId() const;

    CMeetingListCtrl& GetMeetingList() { return *m_meetingList; }
    CDayListCtrl& GetDayList() { return *m_dayList; }
    CWeekListCtrl& GetWeekList() { return *m_weekList; }
    CMeetingPreviewList& GetPreviewList() { return *m_preview; }
    CSearchResultsCtrl& GetSearchResults() { return *m_searchResults; }
    COpenTodoListCtrl& GetOpenTodos() { return *m_openTodos; }
    // The widget of a mode, null outside 0..6.
    QWidget* GetList(int mode);
    CWindowToolTip& GetToolTip() { return *m_toolTip; }
    CMonthListCtrl& GetMonthGrid() { return *m_monthGrid; }

    // A day picked in the calendar itself (a cell of the month grid): its day list is shown.
    void OpenDay(const CDateTime& day);

signals:
    // The calendar went to a date of its own accord; the toolbar's date picker follows.
    void DateChosen(const CDateTime& date);
    // The search results were left (Escape): the search words are done with.
    void SearchLeft();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class CPreviewSlot;

    CCalendarList* ListOf(int mode) const;
    // Hides every list but the one of `mode`.
    void SwitchTo(int mode);
    // ShowMode without the refill.
    void EnterMode(int mode);

    CMeetingCommands& m_commands;
    int m_mode = dayMode;
    CDateTime m_selectedDate;
    std::string m_previewedMeetingId;

    CMeetingListCtrl* m_meetingList = nullptr;
    CDayListCtrl* m_dayList = nullptr;
    CWeekListCtrl* m_weekList = nullptr;
    CMonthListCtrl* m_monthGrid = nullptr;
    CMeetingPreviewList* m_preview = nullptr;
    CSearchResultsCtrl* m_searchResults = nullptr;
    COpenTodoListCtrl* m_openTodos = nullptr;
    std::unique_ptr<CPreviewSlot> m_previewSlot;
    // The mode the preview was entered from, where Escape leaves it for.
    int m_modeBeforePreview = agendaMode;
    // The mode the search results were entered from, where Escape leaves them for.
    int m_modeBeforeSearch = agendaMode;
    std::array<CCalendarList*, modeCount> m_lists{};
    CWindowToolTip* m_toolTip = nullptr;
};
