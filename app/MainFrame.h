#pragma once

#include "editor/MeetingSheet.h"
#include "search/OpenTodo.h"
#include "search/SearchHit.h"
#include "store/MeetingMap.h"
#include "ui/MeetingCommands.h"

#include <QHash>
#include <QMainWindow>
#include <QRect>
#include <QSet>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class CCalendarPage;
class CDesktopServices;
class CFileError;
class CIndexingProgress;
class CMeetingStore;
class CCalendarView;
class CDateToolBar;
class CLeftListView;
class CPaneSplitter;
class CRightListView;
class CSearchField;
class CSearchKeeper;
class QAction;
class QLabel;

// The one top-level window: toolbar with the date picker, status bar, and three panes (the
// mode buttons, the calendar, the quick view pane). Every meeting command is carried out
// here, whether it comes from the menu, the toolbar, a calendar list or the quick view pane.
class CMainFrame : public QMainWindow, public CMeetingCommands {
    Q_OBJECT

public:
    CMainFrame(CMeetingStore& store, CDesktopServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Meeting operations (the calendar's lists and the quick view pane call these too).
    void AddMeeting(const CDateTime& when) override;
    void ModifyMeeting(const std::string& id) override;
    void DeleteMeeting(const std::string& id) override;
    void ViewMeeting(const std::string& id) override;
    void AddToQuickView(const std::string& id) override;
    bool CanEditMeetings() const override;
    CDateTime GetPickerDateTime() const override;
    void SetPickerFormat() override;
    void ShowExportItem() override;
    void HideExportItemIfShown() override;

    // What SetSearchKeeper hands the search results and the open todos: the keeper's search and
    // open todos as functions. Without them the search and todo commands are disabled.
    using SearchFunction =
        std::function<std::vector<CSearchHit>(std::string_view words, std::size_t limit)>;
    using OpenTodosFunction =
        std::function<std::vector<COpenTodo>(const COpenTodo* after, std::size_t limit)>;
    void SetSearchFunctions(SearchFunction search, OpenTodosFunction openTodos);
    bool CanSearch() const { return m_canSearch; }
    // The index changed: the search results or the open todos on show ask again.
    void RefreshFoundLists();
    // The toolbar's search field asked for `words`: the results in the calendar's place, or,
    // for no words, the view shown before them.
    void Search(const QString& words);
    // Modify on the meeting's todo page.
    void OpenTodoPage(const std::string& id, std::size_t position);

    // The pages the meeting sheet of Add and Modify shows, in order.
    void SetSheetPages(std::vector<MeetingPageMaker> pages);

    // Quick Add, from the toolbar or the quick view pane: a meeting from a title, a date and
    // a venue, then the calendar on its day.
    void QuickAdd();
    // Export Meeting: the meeting on show in the preview as an HTML page.
    void ExportPreviewedMeeting();
    // The meeting on show in the preview as one iCalendar file.
    void ExportPreviewedMeetingCalendar();
    // File > Import and files dropped on the window: the meetings of iCalendar files, then a
    // summary and the calendar on the first one added.
    void ImportCalendar(const QStringList& files);
    void RefreshQuickView();
    void RemoveFromQuickView(const std::string& id);
    void ClearQuickView();
    void ShowPickedDate();
    // Back or forward by the shown view's step: a day, a week, or a month (the meeting list
    // and the month grid); the date picker follows. The preview has no step.
    void StepCalendar(int direction);
    // The calendar and the date picker go to the services' "now".
    void GoToToday();

    // The menu and toolbar commands. A file a command cannot change is reported, naming the
    // file and the reason, and the command stops there.
    void OnCommand(int id);
    void UpdateCommandStates();
    QAction* GetAction(int id) const { return m_actions.value(id); }

    // The search index of the working directory (null: none); the status bar shows it
    // catching up.
    void SetSearchKeeper(CSearchKeeper* keeper);

    // Tools > Preference: pick another working directory.
    void ChangeWorkingDirectory();
    // Tools > Refresh, and after the working directory changed: reload every meeting file.
    void ReloadStore();

    CMeetingStore& GetStore() const { return m_store; }
    CDesktopServices& GetServices() const { return m_services; }
    CMeetingMap& GetQuickView() { return m_quickView; }
    const CMeetingMap& GetQuickView() const { return m_quickView; }
    int GetFirstPercent() const;
    int GetSecondPercent() const;
    void SetPercentages(int first, int second);

    CCalendarPage& GetCalendarPage() const;
    CPaneSplitter& GetSplitter() const { return *m_splitter; }
    CLeftListView& GetLeftPane() const { return *m_leftPane; }
    CRightListView& GetQuickViewPane() const { return *m_rightPane; }
    CDateToolBar& GetToolBar() const { return *m_toolBar; }
    CSearchField& GetSearchField() const { return *m_searchField; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Tells in the status bar where an export wrote its file; nothing for one not written.
    void ShowExported(const std::optional<QString>& path);
    void CreateClientArea();
    void CreateToolBar();
    void CreateSearchField();
    // Modify, on the first page, or on the todo page with the todo at `todo` of its file marked.
    void RunModifySheet(const std::string& id, std::optional<std::size_t> todo);
    void CreateDateActions();
    // Every command's action exists: the meeting commands' keys become the calendar's.
    void ScopeCalendarKeys();
    // The calendar went to `date`: the page refills, the date picker shows it.
    void ShowCalendarDate(const CDateTime& date);
    void CreateMenus();
    void CreateStatusBar();
    QAction* MakeAction(int id);
    std::string SelectedMeetingId() const;
    // The id of the meeting the preview shows, empty when none is on show or it has gone.
    std::string PreviewedMeetingId() const;
    void ReportSkippedFiles();
    void RunCommand(int id);
    void DoChangeWorkingDirectory();
    void ReportFileError(const CFileError& error);

    QRect m_clientSize{0, 0, 995, 650};
    CPaneSplitter* m_splitter = nullptr;
    CLeftListView* m_leftPane = nullptr;
    CCalendarView* m_calendar = nullptr;
    CRightListView* m_rightPane = nullptr;
    CDateToolBar* m_toolBar = nullptr;
    CSearchField* m_searchField = nullptr;
    bool m_canSearch = false;
    CMeetingStore& m_store;
    CDesktopServices& m_services;
    std::vector<MeetingPageMaker> m_sheetPages;
    CMeetingMap m_quickView;
    QHash<int, QAction*> m_actions;
    QAction* m_previousAction = nullptr;
    QAction* m_nextAction = nullptr;
    QAction* m_todayAction = nullptr;
    // The damaged files already reported, by their names as stored (two names that differ
    // only in bytes that are not UTF-8 are two files).
    std::set<std::filesystem::path> m_reportedSkips;
    bool m_ready = false;
    CSearchKeeper* m_searchKeeper = nullptr;
    CIndexingProgress* m_indexingProgress = nullptr;
};
