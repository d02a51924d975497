#pragma once

#include "app/FrameParts.h"

#include <string>

class CCalendarPage;
class CFileError;

// Whether `id` names a meeting the store holds.
bool IsStored(const CMeetingStore& store, const std::string& id);
// The modes that show no date: a meeting just added is not to be seen in them.
bool ShowsNoDate(int mode);

// The base of each room of the main window: the window's shared parts under the names every
// room uses, and what each command needs at its end: the calendar page, the report of a file
// that could not be changed, and the command states brought up to date.
class CFrameRoom {
protected:
    explicit CFrameRoom(CFrameParts& parts);

    CCalendarPage& GetCalendarPage() const;
    // "The file ... could not be changed: reason.", told through the services.
    void ReportFileError(const CFileError& error) const;
    void UpdateCommandStates() const;
    // The id of the calendar's marked row, empty when none is marked.
    std::string SelectedMeetingId() const;
    // The id of the meeting the preview shows, empty when none is on show or it has gone.
    std::string PreviewedMeetingId() const;

    CFrameParts& m_parts;
    CMeetingStore& m_store;
    CDesktopServices& m_services;
    QMainWindow* const m_window;
    CPaneSplitter*& m_splitter;
    CLeftListView*& m_leftPane;
    CCalendarView*& m_calendar;
    CRightListView*& m_rightPane;
    CDateToolBar*& m_toolBar;
    CSearchField*& m_searchField;
    CSearchKeeper*& m_searchKeeper;
    bool& m_canSearch;
    bool& m_ready;
};
