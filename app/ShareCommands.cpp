#include "app/ShareCommands.h"

#include "app/CalendarNavigation.h"
#include "app/CalendarSharing.h"
#include "app/ImportProgress.h"
#include "calendar/CalendarPage.h"
#include "export/ExportFile.h"
#include "export/MeetingExport.h"
#include "export/MeetingPrintCommands.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QDir>
#include <QMainWindow>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

QStringList DroppedCalendarFiles(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && IsCalendarFileName(url.toLocalFile())) {
            files << url.toLocalFile();
        }
    }
    return files;
}

void CShareCommands::ExportPreviewedMeeting() {
    CCalendarPage& page = GetCalendarPage();
    if (page.GetMode() != CCalendarPage::previewMode) {
        return;
    }
    ExportMeeting(m_store, page.GetShownMeetingId(), m_services, m_window);
}

void CShareCommands::ExportPreviewedMeetingCalendar() {
    const std::string id = PreviewedMeetingId();
    if (id.empty()) {
        return;
    }
    ShowExported(ExportCalendarFile(
        m_store, {id},
        ExportFileName(ToShownText(m_store.GetMeeting(id).title), QStringLiteral("ics")),
        m_services, m_window));
}

void CShareCommands::ShowExported(const std::optional<QString>& path) {
    // A file that is not opened afterwards is easily lost: the status bar says where it went.
    if (path) {
        m_window->statusBar()->showMessage(
            QStringLiteral("Exported to %1").arg(QDir::toNativeSeparators(*path)));
    }
}

void CShareCommands::ImportCalendar(const QStringList& files) {
    if (files.isEmpty()) {
        return;
    }
    CImportOutcome outcome;
    {
        // A big import takes a while: its progress counts the meetings stored, offers Cancel,
        // and goes before the summary shows.
        CImportProgress progress(m_window);
        outcome = ImportCalendarFiles(
            m_store, files,
            [&progress](std::size_t stored, std::size_t total) { progress.Report(stored, total); },
            progress.GetStopToken());
    }
    if (outcome.added > 0 && outcome.firstDate) {
        m_navigation.ShowCalendarDate(*outcome.firstDate);
    }
    const CImportSummary summary = SummarizeImport(outcome);
    if (summary.failed) {
        m_services.ReportError(summary.details.isEmpty()
                                   ? summary.text
                                   : summary.text + QStringLiteral("\n\n") + summary.details,
                               m_window);
    } else if (summary.details.isEmpty()) {
        m_services.Inform(summary.text, m_window);
    } else {
        m_services.Notify(summary.text, summary.details, m_window);
    }
    UpdateCommandStates();
}

void CShareCommands::ImportPickedCalendars() {
    ImportCalendar(m_services.PickOpenFiles(QStringLiteral("Import"), QString(),
                                            CalendarFileFilter(), m_window));
}

void CShareCommands::ExportMonthCalendar() {
    const CCalendarPage& page = GetCalendarPage();
    const CDateTime month = page.GetSelectedDate();
    const std::vector<std::string> ids = MonthMeetingIds(m_store, month);
    if (!ids.empty()) {
        ShowExported(ExportCalendarFile(m_store, ids,
                                        QStringLiteral("Meetings %1-%2.ics")
                                            .arg(month.GetYear(), 4, 10, QLatin1Char('0'))
                                            .arg(month.GetMonth(), 2, 10, QLatin1Char('0')),
                                        m_services, m_window));
    }
}

void CShareCommands::ExportAllCalendar() {
    if (!m_store.GetMap().IsEmpty()) {
        ShowExported(ExportCalendarFile(m_store, AllMeetingIds(m_store),
                                        QStringLiteral("All meetings.ics"), m_services, m_window));
    }
}

void CShareCommands::PrintPreviewedMeeting() {
    if (const std::string meeting = PreviewedMeetingId(); !meeting.empty()) {
        PrintMeeting(m_store, meeting, m_services, m_window);
    }
}

void CShareCommands::ExportPreviewedMeetingPdf() {
    if (const std::string meeting = PreviewedMeetingId(); !meeting.empty()) {
        ShowExported(ExportMeetingPdf(m_store, meeting, m_services, m_window));
    }
}
