#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "app/CalendarServerDlg.h"
#include "app/SyncConflictsDlg.h"
#include "store/MeetingStore.h"
#include "sync/SyncStoreGate.h"

namespace {

const QUrl server(QStringLiteral("https://cloud.example.org/remote.php/dav/"));

QUrl Calendar(const char* name) {
    return server.resolved(QUrl(QStringLiteral("calendars/ann/%1/").arg(QLatin1String(name))));
}

} // namespace

// The dialog after Test: the account's calendars listed, the one synced with picked.
KES_SCREENSHOT("calendar-server-dialog") {
    static CStoreSyncGate gate(TestStore());
    const CServerSettings current{
        server, QStringLiteral("ann"), Calendar("work"), QStringLiteral("Work"), {}, {}};
    auto dialog = std::make_unique<CCalendarServerDlg>(TestServices(), gate, current,
                                                       QStringLiteral("password"));
    CDiscovery found;
    found.home = server.resolved(QUrl(QStringLiteral("calendars/ann/")));
    found.calendars = {{Calendar("personal"), QStringLiteral("Personal")},
                       {Calendar("work"), QStringLiteral("Work")},
                       {Calendar("board"), QStringLiteral("Board meetings")}};
    emit dialog->findChild<CSyncEngine*>()->discoveryFinished(found);
    return dialog;
}

// The list a click on "1 conflict: both versions kept" opens.
KES_SCREENSHOT("sync-conflicts") {
    CMeeting copy(CDateTime(2026, 12, 3, 15, 0, 0));
    copy.id = "2026120315000020";
    copy.title = "Quarterly planning (server's copy)";
    TestStore().ModifyMeeting(copy);
    const std::vector<CSyncConflict> conflicts = {
        {"Quarterly planning", CDateTime(2026, 12, 3, 14, 0, 0), "2026120314000010", copy.id}};
    return std::make_unique<CSyncConflictsDlg>(conflicts, TestStore());
}
