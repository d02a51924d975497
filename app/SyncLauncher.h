#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Starts the handheld-device synchronisation tool and leaves it running on its own. The
// tool is the one named in the settings ("Sync"/"Tool"), else the first of its known names
// found on the PATH. Nothing is said when there is no tool or it does not start.
class CSyncLauncher {
public:
    CSyncLauncher() = default;
    virtual ~CSyncLauncher() = default;

    void Launch();
    // Nothing is left to tidy up: the tool runs as a process of its own.
    void Finish() {}

    // The tool that Launch starts; empty when there is none.
    static QString FindTool();
    // What the tool is asked to do: show itself and synchronise at once.
    static QStringList Arguments() { return {QStringLiteral("/show"), QStringLiteral("/syncnow")}; }
};

namespace SyncTesting {
struct SStartRequest {
    QString program;
    QStringList arguments;
};
// While intercepted, Launch records what it would start instead of starting it.
void Intercept();
void Stop();
const std::vector<SStartRequest>& StartRequests();
} // namespace SyncTesting
