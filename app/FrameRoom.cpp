#include "app/FrameRoom.h"

#include "calendar/CalendarPage.h"
#include "calendar/CalendarView.h"
#include "calendar/MeetingListCtrl.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/MessageBoxes.h"

#include <QMainWindow>

bool ShowsNoDate(int mode) {
    return mode == CCalendarPage::previewMode || mode == CCalendarPage::searchMode ||
           mode == CCalendarPage::todosMode;
}

bool IsStored(const CMeetingStore& store, const std::string& id) {
    return !id.empty() && store.GetMap().Contains(id);
}

CFrameRoom::CFrameRoom(CFrameParts& parts)
    : m_parts(parts), m_store(parts.store), m_services(parts.services), m_window(&parts.window),
      m_splitter(parts.splitter), m_leftPane(parts.leftPane), m_calendar(parts.calendar),
      m_rightPane(parts.rightPane), m_toolBar(parts.toolBar), m_searchField(parts.searchField),
      m_searchKeeper(parts.searchKeeper), m_canSearch(parts.canSearch), m_ready(parts.ready) {}

CCalendarPage& CFrameRoom::GetCalendarPage() const {
    return m_calendar->GetPage();
}

void CFrameRoom::ReportFileError(const CFileError& error) const {
    m_services.ReportError(FileErrorText(error), m_window);
}

void CFrameRoom::UpdateCommandStates() const {
    if (m_parts.updateCommandStates) {
        m_parts.updateCommandStates();
    }
}

std::string CFrameRoom::SelectedMeetingId() const {
    return GetCalendarPage().GetMeetingList().GetMarkedMeetingId();
}

std::string CFrameRoom::PreviewedMeetingId() const {
    const CCalendarPage& page = GetCalendarPage();
    if (page.GetMode() != CCalendarPage::previewMode) {
        return {};
    }
    const std::string id = page.GetShownMeetingId();
    return IsStored(m_store, id) ? id : std::string();
}
