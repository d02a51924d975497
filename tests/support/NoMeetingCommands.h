#pragma once

#include "ui/MeetingCommands.h"

// The calendar alone, without a main frame around it: every meeting command does nothing.
class CNoMeetingCommands : public CMeetingCommands {
public:
    void AddMeeting(const CDateTime&) override {}
    void ModifyMeeting(const std::string&) override {}
    void DeleteMeeting(const std::string&) override {}
    void ViewMeeting(const std::string&) override {}
    void AddToQuickView(const std::string&) override {}
    bool CanEditMeetings() const override { return true; }
    CDateTime GetPickerDateTime() const override { return {}; }
    void SetPickerFormat() override {}
    void ShowExportItem() override {}
    void HideExportItemIfShown() override {}
};

inline CNoMeetingCommands& NoMeetingCommands() {
    static CNoMeetingCommands commands;
    return commands;
}
