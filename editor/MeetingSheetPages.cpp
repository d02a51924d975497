#include "editor/MeetingSheetPages.h"

#include "editor/AgendaPage.h"
#include "editor/AttendeesPage.h"
#include "editor/KesPage.h"
#include "editor/MeetingDetailPage.h"
#include "editor/TodoPage.h"

namespace {

template <typename Page> MeetingPageMaker Maker() {
    return [](CMeetingStore& store, CDesktopServices& services, const std::string& id) {
        return new Page(store, services, id);
    };
}

} // namespace

std::vector<MeetingPageMaker> MeetingSheetPages() {
    return {Maker<CMeetingDetailPage>(), Maker<CAgendaPage>(), Maker<CTodoPage>(),
            Maker<CAttendeesPage>(), Maker<CKesPage>()};
}
