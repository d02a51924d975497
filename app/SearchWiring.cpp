#include "app/SearchWiring.h"

#include "app/DateToolBar.h"
#include "app/FrameMeetingCommands.h"
#include "app/IndexingProgress.h"
#include "app/SearchField.h"
#include "calendar/CalendarPage.h"
#include "calendar/OpenTodoListCtrl.h"
#include "calendar/SearchResultsCtrl.h"
#include "search/SearchKeeper.h"
#include "store/FileError.h"

#include <QMainWindow>

CSearchWiring::CSearchWiring(CFrameParts& parts, CFrameMeetingCommands& meetings)
    : CFrameRoom(parts), m_meetings(meetings) {}

CSearchWiring::~CSearchWiring() {
    // A keeper that is the window's own child goes after the window's rooms: it must not
    // call back into a room taken down.
    if (m_searchKeeper != nullptr) {
        disconnect(m_searchKeeper, nullptr, this, nullptr);
    }
}

void CSearchWiring::CreateSearchField() {
    // At the toolbar's right end.
    auto* spacer = new QWidget(m_toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_toolBar->addWidget(spacer);
    m_searchField = new CSearchField(m_toolBar);
    m_toolBar->addWidget(m_searchField);
    // Like the date picker, the field keeps the calendar's command keys (Ctrl+Return, Ctrl+D
    // ...) out of it: they must never act on a meeting while the user types words.
    m_searchField->installEventFilter(m_window);

    connect(m_searchField, &CSearchField::searchRequested, this, &CSearchWiring::Search);
    connect(m_searchField, &CSearchField::activateRequested, this, [this] {
        CCalendarPage& page = GetCalendarPage();
        if (page.GetMode() != CCalendarPage::searchMode) {
            return;
        }
        const CSearchResultsCtrl& results = page.GetSearchResults();
        const int mark = results.GetSelectionMark();
        const std::string id = results.GetMeetingId(mark >= 0 ? mark : 0);
        if (!id.empty()) {
            m_meetings.ViewMeeting(id);
        }
    });
    connect(m_searchField, &CSearchField::resultsRequested, this, [this] {
        CCalendarPage& page = GetCalendarPage();
        CSearchResultsCtrl& results = page.GetSearchResults();
        if (page.GetMode() != CCalendarPage::searchMode || results.GetRowCount() == 0) {
            return;
        }
        if (results.GetSelectionMark() < 0) {
            results.SetSelectionMark(0);
        }
        results.setFocus(Qt::TabFocusReason);
    });
    connect(m_searchField, &CSearchField::leaveRequested, this, [this] {
        m_searchField->Reset();
        GetCalendarPage().LeaveSearch();
        UpdateCommandStates();
    });
    connect(&GetCalendarPage(), &CCalendarPage::SearchLeft, this, [this] {
        m_searchField->Reset();
        UpdateCommandStates();
    });
}

void CSearchWiring::SetSearchKeeper(CSearchKeeper* keeper) {
    if (m_searchKeeper != nullptr) {
        disconnect(m_searchKeeper, nullptr, this, nullptr);
    }
    m_searchKeeper = keeper;
    m_parts.indexingProgress->Watch(keeper);
    if (keeper == nullptr) {
        SetSearchFunctions({}, {});
        return;
    }
    connect(keeper, &CSearchKeeper::upToDate, this, &CSearchWiring::RefreshFoundLists);
    connect(keeper, &CSearchKeeper::changed, this, &CSearchWiring::RefreshFoundLists);
    connect(keeper, &CSearchKeeper::searchAnswered, this, &CSearchWiring::RefreshFoundLists);
    connect(keeper, &QObject::destroyed, this, [this] {
        m_searchKeeper = nullptr;
        SetSearchFunctions({}, {});
    });
    SetSearchFunctions([keeper](std::string_view words,
                                std::size_t limit) { return keeper->TrySearch(words, limit); },
                       [keeper](const COpenTodo* after, std::size_t limit) {
                           return keeper->OpenTodos(after, limit);
                       });
}

void CSearchWiring::SetSearchFunctions(SearchFunction search, OpenTodosFunction openTodos) {
    CCalendarPage& page = GetCalendarPage();
    m_canSearch = search && openTodos;
    page.GetSearchResults().SetSource(std::move(search));
    page.GetOpenTodos().SetSource(std::move(openTodos));
    page.RefreshFoundLists();
    UpdateCommandStates();
}

void CSearchWiring::RefreshFoundLists() {
    try {
        GetCalendarPage().RefreshFoundLists();
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    UpdateCommandStates();
}

void CSearchWiring::Search(const QString& words) {
    if (!m_canSearch) {
        return;
    }
    CCalendarPage& page = GetCalendarPage();
    if (words.trimmed().isEmpty()) {
        page.LeaveSearch();
    } else if (page.GetMode() == CCalendarPage::searchMode &&
               words.simplified() == page.GetSearchResults().GetWords().simplified()) {
        // A space typed between words asks nothing new: the results and their mark stay.
    } else {
        page.ShowSearch(words);
    }
    UpdateCommandStates();
}

void CSearchWiring::FindMeeting() {
    if (m_canSearch) {
        m_toolBar->show();
        m_searchField->setFocus(Qt::ShortcutFocusReason);
        m_searchField->selectAll();
    }
}

void CSearchWiring::ShowTodos() {
    if (m_canSearch) {
        GetCalendarPage().ShowMode(CCalendarPage::todosMode);
    }
}
