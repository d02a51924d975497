#pragma once

#include "app/FrameRoom.h"

#include <QString>
#include <QStringList>

#include <optional>

class CCalendarNavigation;
class QMimeData;

// The iCalendar files among dropped URLs.
QStringList DroppedCalendarFiles(const QMimeData* data);

// Meetings in and out of the program: iCalendar import (File > Import and files dropped on
// the window), iCalendar export of the previewed meeting, a month or every meeting, and the
// previewed meeting printed or exported as a PDF or an HTML page.
class CShareCommands : public CFrameRoom {
public:
    CShareCommands(CFrameParts& parts, CCalendarNavigation& navigation)
        : CFrameRoom(parts), m_navigation(navigation) {}

    // The meetings of iCalendar files, then a summary and the calendar on the first one added.
    void ImportCalendar(const QStringList& files);
    // File > Import: the files the user picks.
    void ImportPickedCalendars();
    // Export Meeting: the meeting on show in the preview as an HTML page.
    void ExportPreviewedMeeting();
    // The meeting on show in the preview as one iCalendar file.
    void ExportPreviewedMeetingCalendar();
    // The meetings of the calendar's month, or every meeting, as one iCalendar file.
    void ExportMonthCalendar();
    void ExportAllCalendar();
    void PrintPreviewedMeeting();
    void ExportPreviewedMeetingPdf();

private:
    // Tells in the status bar where an export wrote its file; nothing for one not written.
    void ShowExported(const std::optional<QString>& path);

    CCalendarNavigation& m_navigation;
};
