#pragma once

#include "store/DateTime.h"

#include <QWidget>

#include <array>
#include <memory>
#include <string>

class CBlankCalendarList;
class CDesktopServices;
class CMeetingStore;
class CCalendarList;
class CMeetingCommands;
class CMeetingListCtrl;
class CMeetingPreviewList;
class CWindowToolTip;

// The calendar: five lists stacked at one place, of which the one of the calendar mode is
// visible, all filled for the selected date (the preview for the previewed meeting).
class CCalendarPage : public QWidget {
    Q_OBJECT

public:
    enum Mode { agendaMode = 0, dayMode = 1, weekMode = 2, monthMode = 3, previewMode = 4 };
    static constexpr int modeCount = 5;

    // Opens in the day mode on the clock's "now".
    CCalendarPage(CMeetingStore& store, CDesktopServices& services, CMeetingCommands& commands,
                  QWidget* parent = nullptr);
    ~CCalendarPage() override;

    // Shows the list of `mode` alone (none for a value outside 0..4), keeps the mode, lets
    // the frame set the date picker's format and refills the list.
    void ShowMode(int mode);
    void GoToDate(const CDateTime& date);
    // Refills the list of the current mode; any mode other than 1..4 is the meeting list's.
    void RefreshList();

    int GetMode() const { return m_mode; }
    CDateTime GetSelectedDate() const { return m_selectedDate; }
    void SetSelectedDate(const CDateTime& date) { m_selectedDate = date; }

    // Written by the frame's View just before ShowMode(previewMode).
    void SetPreviewedMeetingId(const std::string& id) { m_previewedMeetingId = id; }
    // The meeting the preview shows, which Modify, Delete and the export act on in mode 4.
    std::string GetShownMeetingId() const;

    CMeetingListCtrl& GetMeetingList() { return *m_meetingList; }
    CMeetingPreviewList& GetPreviewList() { return *m_preview; }
    // The widget of a mode, null outside 0..4.
    QWidget* GetList(int mode);
    CWindowToolTip& GetToolTip() { return *m_toolTip; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class CPreviewSlot;

    CCalendarList* ListOf(int mode) const;
    // Hides every list but the one of `mode`.
    void SwitchTo(int mode);

    CMeetingCommands& m_commands;
    int m_mode = dayMode;
    CDateTime m_selectedDate;
    std::string m_previewedMeetingId;

    CMeetingListCtrl* m_meetingList = nullptr;
    CBlankCalendarList* m_dayList = nullptr;
    CBlankCalendarList* m_weekList = nullptr;
    CBlankCalendarList* m_monthGrid = nullptr;
    CMeetingPreviewList* m_preview = nullptr;
    std::unique_ptr<CPreviewSlot> m_previewSlot;
    // The mode the preview was entered from, where Escape leaves it for.
    int m_modeBeforePreview = agendaMode;
    std::array<CCalendarList*, modeCount> m_lists{};
    CWindowToolTip* m_toolTip = nullptr;
};
