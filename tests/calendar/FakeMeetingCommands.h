#pragma once

#include "store/MeetingStore.h"
#include "tests/support/QtTestEnvironment.h"
#include "ui/MeetingCommands.h"

#include <string>
#include <utility>
#include <vector>

// Stands in for the main frame: records every call as one line ("View 2024...", "Format").
class CFakeMeetingCommands : public CMeetingCommands {
public:
    void AddMeeting(const CDateTime& when) override {
        calls.push_back("Add " + std::to_string(when.ToSerialSeconds()));
    }
    void ModifyMeeting(const std::string& id) override { calls.push_back("Modify " + id); }
    void DeleteMeeting(const std::string& id) override { calls.push_back("Delete " + id); }
    void ViewMeeting(const std::string& id) override { calls.push_back("View " + id); }
    void AddToQuickView(const std::string& id) override { calls.push_back("QuickView " + id); }
    bool CanEditMeetings() const override { return canEdit; }
    CDateTime GetPickerDateTime() const override { return picker; }
    void SetPickerFormat() override { calls.push_back("Format"); }
    void ShowExportItem() override { calls.push_back("ShowExport"); }
    void HideExportItemIfShown() override { calls.push_back("HideExport"); }

    // The calls since the last look, which are then forgotten.
    std::vector<std::string> Take() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    bool canEdit = true;
    CDateTime picker = CDateTime(2024, 3, 15, 10, 30, 0);
};

// Stores a meeting titled after its id in the program's store.
inline void PutMeeting(const std::string& id, const CDateTime& date) {
    CMeeting record(date);
    record.id = id;
    record.title = "Meeting " + id;
    TestStore().ModifyMeeting(record);
}
