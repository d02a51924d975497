#pragma once

#include "store/DateTime.h"

#include <string>

// The meeting operations the main frame carries out for the calendar's lists and the
// quick view pane. Lists hold this interface, not the frame, so they can be tested alone.
class CMeetingCommands {
public:
    virtual ~CMeetingCommands() = default;

    virtual void AddMeeting(const CDateTime& when) = 0;
    virtual void ModifyMeeting(const std::string& id) = 0;
    virtual void DeleteMeeting(const std::string& id) = 0;
    virtual void ViewMeeting(const std::string& id) = 0;
    virtual void AddToQuickView(const std::string& id) = 0;

    // False while the meeting sheet is not part of the program: Add and Modify are disabled.
    virtual bool CanEditMeetings() const = 0;

    // The toolbar date picker's value, and its format following the calendar mode.
    virtual CDateTime GetPickerDateTime() const = 0;
    virtual void SetPickerFormat() = 0;

    // The quick view pane's "Export Meeting" item follows the meeting preview.
    virtual void ShowExportItem() = 0;
    virtual void HideExportItemIfShown() = 0;
};
