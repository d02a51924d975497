#include "app/CommandDispatch.h"

#include "app/AboutDlg.h"
#include "app/DateToolBar.h"
#include "app/FrameMeetingCommands.h"
#include "app/Help.h"
#include "app/QuickViewCommands.h"
#include "app/SearchWiring.h"
#include "app/ShareCommands.h"
#include "app/SyncCommands.h"
#include "app/SyncLauncher.h"
#include "app/WorkingDirectoryCommands.h"
#include "calendar/CalendarPage.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "ui/CommandTable.h"
#include "ui/DesktopServices.h"

#include <QMainWindow>
#include <QStatusBar>

void CCommandDispatch::OnCommand(int id) {
    try {
        RunCommand(id);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
    UpdateCommandStates();
}

void CCommandDispatch::RunCommand(int id) {
    if (!RunMeetingCommand(id) && !RunShareCommand(id)) {
        RunWindowCommand(id);
    }
}

bool CCommandDispatch::RunMeetingCommand(int id) {
    CCalendarPage& page = GetCalendarPage();
    const int mode = page.GetMode();
    switch (id) {
    case CommandId::addMeeting:
        m_meetings.AddMeeting(m_meetings.GetPickerDateTime());
        break;
    case CommandId::quickAdd:
        m_meetings.QuickAdd();
        break;
    case CommandId::modifyMeeting: {
        const std::string meeting = mode == CCalendarPage::previewMode  ? page.GetShownMeetingId()
                                    : mode == CCalendarPage::agendaMode ? SelectedMeetingId()
                                                                        : std::string();
        if (!meeting.empty()) {
            m_meetings.ModifyMeeting(meeting);
        }
        break;
    }
    case CommandId::deleteMeeting:
        if (mode == CCalendarPage::agendaMode) {
            const std::string meeting = SelectedMeetingId();
            if (!meeting.empty()) {
                m_meetings.DeleteMeeting(meeting);
            }
        } else if (mode == CCalendarPage::previewMode) {
            const std::string meeting = page.GetShownMeetingId();
            if (!IsStored(m_store, meeting)) {
                break;
            }
            m_meetings.DeleteMeeting(meeting);
            if (!IsStored(m_store, meeting)) {
                page.ShowMode(CCalendarPage::agendaMode);
            }
        }
        break;
    case CommandId::viewMeeting:
        if (mode == CCalendarPage::agendaMode && !SelectedMeetingId().empty()) {
            m_meetings.ViewMeeting(SelectedMeetingId());
        }
        break;
    case CommandId::addToQuickView:
        if (mode == CCalendarPage::agendaMode && !SelectedMeetingId().empty()) {
            m_quickView.AddToQuickView(SelectedMeetingId());
        }
        break;
    default:
        return false;
    }
    return true;
}

bool CCommandDispatch::RunShareCommand(int id) {
    switch (id) {
    case CommandId::printMeeting:
        m_share.PrintPreviewedMeeting();
        break;
    case CommandId::exportPdf:
        m_share.ExportPreviewedMeetingPdf();
        break;
    case CommandId::exportMeetingCalendar:
        m_share.ExportPreviewedMeetingCalendar();
        break;
    case CommandId::importCalendar:
        m_share.ImportPickedCalendars();
        break;
    case CommandId::exportMonthCalendar:
        m_share.ExportMonthCalendar();
        break;
    case CommandId::exportAllCalendar:
        m_share.ExportAllCalendar();
        break;
    default:
        return false;
    }
    return true;
}

bool CCommandDispatch::RunWindowCommand(int id) {
    switch (id) {
    case CommandId::findMeeting:
        m_search.FindMeeting();
        break;
    case CommandId::showTodos:
        m_search.ShowTodos();
        break;
    case CommandId::refresh:
        m_directory.ReloadStore();
        GetCalendarPage().RefreshList();
        break;
    case CommandId::synchronize: {
        CSyncLauncher launcher(m_services);
        launcher.Launch();
        break;
    }
    case CommandId::syncNow:
        m_sync.SyncNow();
        break;
    case CommandId::calendarServer:
        m_sync.OpenServerDialog();
        break;
    case CommandId::preference:
        m_directory.ChangeWorkingDirectory();
        break;
    case CommandId::help:
        ShowHelp(m_services, m_window);
        break;
    case CommandId::about: {
        CAboutDlg about(m_window);
        m_services.RunDialog(about);
        break;
    }
    case CommandId::exit:
        m_window->close();
        break;
    case CommandId::toggleToolBar:
        m_toolBar->setVisible(!m_toolBar->isVisible());
        break;
    case CommandId::toggleStatusBar:
        m_window->statusBar()->setVisible(!m_window->statusBar()->isVisible());
        break;
    default:
        return false;
    }
    return true;
}
