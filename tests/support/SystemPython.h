#pragma once

#include <QFileInfo>
#include <QString>

// The Python that Debian's radicale and python3-caldav are installed for: the system's own,
// even when another python3 comes first on the PATH.
inline QString SystemPython() {
    const QString system = QStringLiteral("/usr/bin/python3");
    return QFileInfo(system).isExecutable() ? system : QStringLiteral("python3");
}
