#include "editor/MeetingSheetPages.h"

#include "editor/MeetingDetailPage.h"

std::vector<MeetingPageMaker> MeetingSheetPages() {
    return {
        [](CMeetingStore& store, CDesktopServices& services, const std::string& id) {
            return new CMeetingDetailPage(store, services, id);
        },
    };
}
