#pragma once

#include "app/FrameRoom.h"
#include "editor/MeetingSheet.h"
#include "ui/MeetingCommands.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class CCalendarNavigation;
class CQuickViewCommands;

// The meeting commands the calendar's lists, the quick view pane, the menus and the toolbar
// call: add, modify, delete, view, quick add. Each asks its questions through the services,
// lets the store write the files, and turns the calendar to what changed.
class CFrameMeetingCommands : public CFrameRoom, public CMeetingCommands {
public:
    CFrameMeetingCommands(CFrameParts& parts, CCalendarNavigation& navigation,
                          CQuickViewCommands& quickView);

    void AddMeeting(const CDateTime& when) override;
    void ModifyMeeting(const std::string& id) override;
    void DeleteMeeting(const std::string& id) override;
    void ViewMeeting(const std::string& id) override;
    void AddToQuickView(const std::string& id) override;
    bool CanEditMeetings() const override;
    CDateTime GetPickerDateTime() const override;
    void SetPickerFormat() override;
    void ShowExportItem() override;
    void HideExportItemIfShown() override;

    // Modify on the meeting's todo page.
    void OpenTodoPage(const std::string& id, std::size_t position);
    // Quick Add, from the toolbar or the quick view pane: a meeting from a title, a date and
    // a venue, then the calendar on its day.
    void QuickAdd();
    // The pages the meeting sheet of Add and Modify shows, in order.
    void SetSheetPages(std::vector<MeetingPageMaker> pages);

private:
    // Modify, on the first page, or on the todo page with the todo at `todo` of its file marked.
    void RunModifySheet(const std::string& id, std::optional<std::size_t> todo);

    CCalendarNavigation& m_navigation;
    CQuickViewCommands& m_quickViewCommands;
    std::vector<MeetingPageMaker> m_sheetPages;
};
