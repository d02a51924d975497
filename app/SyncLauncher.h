#pragma once

#include <QString>
#include <QStringList>

class CDesktopServices;

// Starts the handheld-device synchronisation tool and leaves it running on its own. The
// tool is the one named in the settings ("Sync"/"Tool"), else the first of its known names
// found on the PATH. Nothing is said when there is no tool or it does not start.
class CSyncLauncher {
public:
    explicit CSyncLauncher(CDesktopServices& services) : m_services(services) {}

    void Launch();

    // The tool that Launch starts; empty when there is none.
    static QString FindTool();
    // What the tool is asked to do: show itself and synchronise at once.
    static QStringList Arguments() { return {QStringLiteral("/show"), QStringLiteral("/syncnow")}; }

private:
    CDesktopServices& m_services;
};
