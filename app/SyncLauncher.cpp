#include "app/SyncLauncher.h"

#include "app/Settings.h"
#include "ui/DesktopServices.h"

#include <QStandardPaths>

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
    // The tool's own windows take over; whether it started is not the program's concern.
    m_services.StartProgram(tool, Arguments());
}
