#include "calendar/CalendarPage.h"

#include "calendar/DayListCtrl.h"
#include "calendar/MeetingListCtrl.h"
#include "calendar/MonthListCtrl.h"
#include "calendar/OpenTodoListCtrl.h"
#include "calendar/SearchResultsCtrl.h"
#include "calendar/WeekListCtrl.h"
#include "calendar/WindowToolTip.h"
#include "export/MeetingPreviewList.h"
#include "ui/DesktopServices.h"
#include "ui/MeetingCommands.h"

#include <QTimer>

// The preview is not bound to a date: a fill shows its meeting again.
class CCalendarPage::CPreviewSlot : public CCalendarList {
public:
    explicit CPreviewSlot(CMeetingPreviewList& list) : m_list(list) {}
    QWidget* GetWidget() override { return &m_list; }
    void Fill(const CDateTime&) override { m_list.Refresh(); }
    void Refresh() override { m_list.Refresh(); }

private:
    CMeetingPreviewList& m_list;
};

CCalendarPage::CCalendarPage(CMeetingStore& store, CDesktopServices& services,
                             CMeetingCommands& commands, QWidget* parent)
    : QWidget(parent), m_commands(commands), m_selectedDate(services.Now()) {
    setObjectName(QStringLiteral("calendarPage"));

    m_meetingList = new CMeetingListCtrl(store, services, commands, this);
    m_meetingList->setObjectName(QStringLiteral("meetingList"));
    m_dayList = new CDayListCtrl(store, services, commands, this);
    m_dayList->setObjectName(QStringLiteral("dayList"));
    m_weekList = new CWeekListCtrl(store, services, commands, this);
    m_weekList->setObjectName(QStringLiteral("weekList"));
    m_monthGrid = new CMonthListCtrl(store, services, this);
    m_monthGrid->setObjectName(QStringLiteral("monthList"));
    m_preview = new CMeetingPreviewList(store, services, commands, this);
    m_preview->setObjectName(QStringLiteral("previewList"));
    m_previewSlot = std::make_unique<CPreviewSlot>(*m_preview);
    m_searchResults = new CSearchResultsCtrl(store, commands, this);
    m_searchResults->setObjectName(QStringLiteral("searchResults"));
    m_openTodos = new COpenTodoListCtrl(store, services, this);
    m_openTodos->setObjectName(QStringLiteral("openTodos"));
    m_lists = {m_meetingList,       m_dayList,       m_weekList, m_monthGrid,
               m_previewSlot.get(), m_searchResults, m_openTodos};
    connect(m_searchResults, &CSearchResultsCtrl::leaveRequested, this, [this] {
        LeaveSearch();
        emit SearchLeft();
    });
    connect(m_preview, &CMeetingPreviewList::leaveRequested, this,
            [this] { ShowMode(m_modeBeforePreview); });

    // The week list and the month grid explain what lies under the cursor.
    m_toolTip = new CWindowToolTip(this);
    m_toolTip->AddWindowTool(m_weekList);
    m_toolTip->AddWindowTool(m_monthGrid);
    connect(m_monthGrid, &CMonthListCtrl::ToolTipChanged, this,
            [this](const QString& text) { m_toolTip->SetToolText(m_monthGrid, text); });
    connect(m_monthGrid, &CMonthListCtrl::DayOpened, this, &CCalendarPage::OpenDay);
    m_weekList->SetToolTip(m_toolTip);

    // The frame may still be building itself while it creates this page: the lists are set
    // up now, the frame is asked for the picker's format once control returns to the loop.
    // Nothing can be previewed yet, so there is no export item to take away.
    SwitchTo(dayMode);
    m_mode = dayMode;
    RefreshList();
    QTimer::singleShot(0, this, [this] { m_commands.SetPickerFormat(); });
}

CCalendarPage::~CCalendarPage() = default;

void CCalendarPage::ShowMode(int mode) {
    EnterMode(mode);
    RefreshList();
}

void CCalendarPage::EnterMode(int mode) {
    if (mode == previewMode && m_mode != previewMode && ListOf(m_mode) != nullptr) {
        m_modeBeforePreview = m_mode;
    }
    // A preview opened from the results leaves for them, and they for where the search began.
    if (mode == searchMode && m_mode != searchMode && m_mode != previewMode &&
        ListOf(m_mode) != nullptr) {
        m_modeBeforeSearch = m_mode;
    }
    SwitchTo(mode);
    m_commands.HideExportItemIfShown();
    m_mode = mode;
    m_commands.SetPickerFormat();
}

void CCalendarPage::ShowSearch(const QString& words) {
    // One query per search: the results are filled here, not again by a refill of the mode.
    m_searchResults->Search(words);
    if (m_mode != searchMode) {
        EnterMode(searchMode);
    }
}

void CCalendarPage::LeaveSearch() {
    if (m_mode == searchMode) {
        ShowMode(m_modeBeforeSearch);
    }
}

void CCalendarPage::RefreshFoundLists() {
    if (m_mode == searchMode || m_mode == todosMode) {
        RefreshList();
    }
}

void CCalendarPage::SwitchTo(int mode) {
    // A list hidden while it has the focus hands it to the list shown in its place; left to
    // itself the focus would move on, unseen, to the quick view pane.
    const QWidget* focus = window()->focusWidget();
    const bool focusHere = focus != nullptr && isAncestorOf(focus);
    QWidget* shown = GetList(mode);
    if (shown != nullptr) {
        shown->show();
        if (focusHere) {
            shown->setFocus(Qt::OtherFocusReason);
        }
    }
    for (CCalendarList* list : m_lists) {
        if (list->GetWidget() != shown) {
            list->GetWidget()->hide();
        }
    }
}

void CCalendarPage::OpenDay(const CDateTime& day) {
    m_selectedDate = day;
    ShowMode(dayMode);
    emit DateChosen(day);
}

void CCalendarPage::GoToDate(const CDateTime& date) {
    m_selectedDate = date;
    RefreshList();
}

void CCalendarPage::RefreshList() {
    switch (m_mode) {
    case dayMode:
    case weekMode:
    case monthMode:
        ListOf(m_mode)->Fill(m_selectedDate);
        break;
    case previewMode:
        m_preview->ShowMeeting(m_previewedMeetingId);
        break;
    case searchMode:
    case todosMode:
        ListOf(m_mode)->Refresh();
        break;
    default:
        m_meetingList->Fill(m_selectedDate);
        break;
    }
}

std::string CCalendarPage::GetShownMeetingId() const {
    return m_preview->GetMeetingId();
}

QWidget* CCalendarPage::GetList(int mode) {
    CCalendarList* list = ListOf(mode);
    return list != nullptr ? list->GetWidget() : nullptr;
}

CCalendarList* CCalendarPage::ListOf(int mode) const {
    if (mode < 0 || mode >= modeCount) {
        return nullptr;
    }
    return m_lists[static_cast<std::size_t>(mode)];
}

void CCalendarPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Hidden lists follow too, so that a mode switch shows a list of the right size at once.
    for (CCalendarList* list : m_lists) {
        list->GetWidget()->setGeometry(rect());
    }
}
