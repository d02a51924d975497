#pragma once

#include "app/CalendarNavigation.h"
#include "app/CommandDispatch.h"
#include "app/FrameActions.h"
#include "app/FrameMeetingCommands.h"
#include "app/FrameParts.h"
#include "app/QuickViewCommands.h"
#include "app/SearchWiring.h"
#include "app/ShareCommands.h"
#include "app/SyncCommands.h"
#include "app/WorkingDirectoryCommands.h"

#include <QMainWindow>
#include <QRect>

#include <cstddef>
#include <string>
#include <vector>

class CCalendarPage;

// The one top-level window: toolbar with the date picker, status bar, and three panes (the
// mode buttons, the calendar, the quick view pane). This file assembles it; each kind of
// command is carried out by a room of its own (the meeting commands, the quick view pane's,
// calendar sharing, the search, the working directory), and the actions hand their commands
// to the dispatch. The window's own functions below pass on to those rooms.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame(CMeetingStore& store, CDesktopServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The meeting commands, as the calendar's lists and the quick view pane call them.
    CFrameMeetingCommands& GetMeetingCommands() { return m_meetingCommands; }
    void AddMeeting(const CDateTime& when) { m_meetingCommands.AddMeeting(when); }
    void ModifyMeeting(const std::string& id) { m_meetingCommands.ModifyMeeting(id); }
    void DeleteMeeting(const std::string& id) { m_meetingCommands.DeleteMeeting(id); }
    void ViewMeeting(const std::string& id) { m_meetingCommands.ViewMeeting(id); }
    void QuickAdd() { m_meetingCommands.QuickAdd(); }
    void OpenTodoPage(const std::string& id, std::size_t position) {
        m_meetingCommands.OpenTodoPage(id, position);
    }
    void SetSheetPages(std::vector<MeetingPageMaker> pages) {
        m_meetingCommands.SetSheetPages(std::move(pages));
    }

    void AddToQuickView(const std::string& id) { m_quickViewCommands.AddToQuickView(id); }
    void RefreshQuickView() { m_quickViewCommands.RefreshQuickView(); }
    void RemoveFromQuickView(const std::string& id) { m_quickViewCommands.RemoveFromQuickView(id); }
    void ClearQuickView() { m_quickViewCommands.ClearQuickView(); }

    void ExportPreviewedMeeting() { m_share.ExportPreviewedMeeting(); }
    void ExportPreviewedMeetingCalendar() { m_share.ExportPreviewedMeetingCalendar(); }
    void ImportCalendar(const QStringList& files) { m_share.ImportCalendar(files); }

    void ShowPickedDate() { m_navigation.ShowPickedDate(); }
    void StepCalendar(int direction) { m_navigation.StepCalendar(direction); }
    void GoToToday() { m_navigation.GoToToday(); }

    using SearchFunction = CSearchWiring::SearchFunction;
    using OpenTodosFunction = CSearchWiring::OpenTodosFunction;
    void SetSearchFunctions(SearchFunction search, OpenTodosFunction openTodos) {
        m_search.SetSearchFunctions(std::move(search), std::move(openTodos));
    }
    void SetSearchKeeper(CSearchKeeper* keeper) { m_search.SetSearchKeeper(keeper); }
    bool CanSearch() const { return m_parts.canSearch; }
    void RefreshFoundLists() { m_search.RefreshFoundLists(); }
    void Search(const QString& words) { m_search.Search(words); }

    // The menu and toolbar commands.
    void OnCommand(int id) { m_commands.OnCommand(id); }
    void UpdateCommandStates() { m_actions.UpdateCommandStates(); }
    QAction* GetAction(int id) const { return m_actions.GetAction(id); }

    void ChangeWorkingDirectory() { m_directory.ChangeWorkingDirectory(); }
    void ReloadStore() { m_directory.ReloadStore(); }

    // The calendar server's commands and status line.
    CSyncCommands& GetSyncCommands() { return m_sync; }

    CMeetingStore& GetStore() const { return m_parts.store; }
    CDesktopServices& GetServices() const { return m_parts.services; }
    CMeetingMap& GetQuickView() { return m_quickViewCommands.GetQuickView(); }
    const CMeetingMap& GetQuickView() const { return m_quickViewCommands.GetQuickView(); }
    int GetFirstPercent() const;
    int GetSecondPercent() const;
    void SetPercentages(int first, int second);

    CCalendarPage& GetCalendarPage() const;
    CPaneSplitter& GetSplitter() const { return *m_parts.splitter; }
    CLeftListView& GetLeftPane() const { return *m_parts.leftPane; }
    CRightListView& GetQuickViewPane() const { return *m_parts.rightPane; }
    CDateToolBar& GetToolBar() const { return *m_parts.toolBar; }
    CSearchField& GetSearchField() const { return *m_parts.searchField; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateClientArea();
    void ConnectPanes();
    void CreateToolBar();
    void CreateStatusBar();

    QRect m_clientSize{0, 0, 995, 650};
    // The rooms, in the order they are made: each one is handed those it calls.
    CFrameParts m_parts;
    CQuickViewCommands m_quickViewCommands;
    CCalendarNavigation m_navigation;
    CFrameMeetingCommands m_meetingCommands;
    CShareCommands m_share;
    CSearchWiring m_search;
    CWorkingDirectoryCommands m_directory;
    CSyncCommands m_sync;
    CCommandDispatch m_commands;
    CFrameActions m_actions;
};
