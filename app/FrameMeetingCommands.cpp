#include "app/FrameMeetingCommands.h"

#include "app/CalendarNavigation.h"
#include "app/QuickSheet.h"
#include "app/QuickViewCommands.h"
#include "calendar/CalendarPage.h"
#include "editor/MeetingSheetPages.h"
#include "editor/TodoPage.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/StringTable.h"

#include <QMainWindow>

CFrameMeetingCommands::CFrameMeetingCommands(CFrameParts& parts, CCalendarNavigation& navigation,
                                             CQuickViewCommands& quickView)
    : CFrameRoom(parts), m_navigation(navigation), m_quickViewCommands(quickView),
      m_sheetPages(MeetingSheetPages()) {}

bool CFrameMeetingCommands::CanEditMeetings() const {
    return true;
}

void CFrameMeetingCommands::SetSheetPages(std::vector<MeetingPageMaker> pages) {
    m_sheetPages = std::move(pages);
}

// The new meeting exists, as a record and a file, from before the wizard opens until it ends:
// its pages save under its id. A wizard that does not finish takes it away again, with every
// content file its pages wrote.
void CFrameMeetingCommands::AddMeeting(const CDateTime& when) {
    std::string id;
    try {
        id = m_store.AddMeeting(CMeeting(when));
    } catch (const CFileError& error) {
        ReportFileError(error);
        return;
    }
    CMeetingSheet sheet(CMeetingSheet::Mode::add, m_store, m_services, id, m_sheetPages, m_window);
    if (sheet.Run() != CMeetingSheet::Result::finished) {
        try {
            m_store.DeleteMeeting(id);
        } catch (const CFileError& error) {
            ReportFileError(error);
        }
        return;
    }
    // The date as the wizard stored it: the user may have moved the meeting on its first page.
    CCalendarPage& page = GetCalendarPage();
    page.GoToDate(m_store.GetMeeting(id).date);
    if (ShowsNoDate(page.GetMode())) {
        page.ShowMode(CCalendarPage::agendaMode);
    }
    UpdateCommandStates();
}

void CFrameMeetingCommands::ModifyMeeting(const std::string& id) {
    RunModifySheet(id, std::nullopt);
}

void CFrameMeetingCommands::OpenTodoPage(const std::string& id, std::size_t position) {
    RunModifySheet(id, position);
}

void CFrameMeetingCommands::RunModifySheet(const std::string& id, std::optional<std::size_t> todo) {
    if (!IsStored(m_store, id)) {
        return;
    }
    CMeetingSheet sheet(CMeetingSheet::Mode::modify, m_store, m_services, id, m_sheetPages,
                        m_window);
    for (int index = 0; todo && index < sheet.GetPageCount(); ++index) {
        if (auto* todoPage = dynamic_cast<CTodoPage*>(&sheet.GetPage(index))) {
            sheet.OpenOnPage(index);
            todoPage->MarkTodo(*todo);
            break;
        }
    }
    if (sheet.Run() != CMeetingSheet::Result::saved) {
        return;
    }
    GetCalendarPage().GoToDate(GetPickerDateTime());
    m_quickViewCommands.RefreshQuickView();
    UpdateCommandStates();
}

void CFrameMeetingCommands::DeleteMeeting(const std::string& id) {
    if (!IsStored(m_store, id) || !m_services.Ask(StringId::askDeleteMeeting, m_window)) {
        return;
    }
    try {
        m_store.DeleteMeeting(id);
    } catch (const CFileError& error) {
        ReportFileError(error);
        return;
    }
    GetCalendarPage().GoToDate(m_services.Now());
    m_quickViewCommands.RemoveFromQuickView(id);
}

void CFrameMeetingCommands::ViewMeeting(const std::string& id) {
    CCalendarPage& page = GetCalendarPage();
    try {
        page.SetPreviewedMeetingId(id);
        page.ShowMode(CCalendarPage::previewMode);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    // Whether there is a meeting to modify or delete is known once the preview shows it.
    UpdateCommandStates();
}

void CFrameMeetingCommands::QuickAdd() {
    CQuickSheet sheet(m_store, m_services, m_window);
    try {
        if (sheet.Run() != QDialog::Accepted) {
            return;
        }
    } catch (const CFileError& error) {
        ReportFileError(error);
        return;
    }
    // The calendar turns to the new meeting's day; a preview, the search results or the open
    // todos give way to that day's agenda.
    CCalendarPage& page = GetCalendarPage();
    page.GoToDate(sheet.GetRecord().date);
    if (ShowsNoDate(page.GetMode())) {
        page.ShowMode(CCalendarPage::agendaMode);
    }
}

void CFrameMeetingCommands::AddToQuickView(const std::string& id) {
    m_quickViewCommands.AddToQuickView(id);
}

CDateTime CFrameMeetingCommands::GetPickerDateTime() const {
    return m_navigation.GetPickerDateTime();
}

void CFrameMeetingCommands::SetPickerFormat() {
    m_navigation.SetPickerFormat();
}

void CFrameMeetingCommands::ShowExportItem() {
    m_quickViewCommands.ShowExportItem();
}

void CFrameMeetingCommands::HideExportItemIfShown() {
    m_quickViewCommands.HideExportItemIfShown();
}
