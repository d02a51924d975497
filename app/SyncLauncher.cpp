#include "app/SyncLauncher.h"

#include "app/Settings.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

struct SyncInterception {
    bool active = false;
    std::vector<SyncTesting::SStartRequest> requests;
};

SyncInterception& Interception() {
    static SyncInterception interception;
    return interception;
}

} // namespace

QString CSyncLauncher::FindTool() {
    // A blank entry names no tool; asking to start "" would only fail.
    const QString configured = Settings::ReadSyncTool().trimmed();
    if (!configured.isEmpty()) {
        return configured;
    }
    for (const char* name : {"wcesmgr", "WCESMGR.EXE", "wcesmgr.exe"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

void CSyncLauncher::Launch() {
    const QString tool = FindTool();
    if (tool.isEmpty()) {
        return;
    }
    SyncInterception& interception = Interception();
    if (interception.active) {
        interception.requests.push_back({tool, Arguments()});
        return;
    }
    // The tool's own windows take over; whether it started is not the program's concern.
    QProcess::startDetached(tool, Arguments());
}

namespace SyncTesting {

void Intercept() {
    Interception().active = true;
    Interception().requests.clear();
}

void Stop() {
    Interception() = SyncInterception();
}

const std::vector<SStartRequest>& StartRequests() {
    return Interception().requests;
}

} // namespace SyncTesting
