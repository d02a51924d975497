#include "app/ServerSettings.h"

#include "Version.h"

#include <QSettings>

namespace {

QSettings Profile() {
    return QSettings(QStringLiteral("Brindleware"), QStringLiteral(TAVELIN_NAME_AND_VERSION));
}

const QString group = QStringLiteral("CalendarServer");

} // namespace

CServerSettings CServerSettings::Load() {
    QSettings profile = Profile();
    profile.beginGroup(group);
    CServerSettings settings;
    settings.server = QUrl(profile.value(QStringLiteral("Server")).toString());
    settings.user = profile.value(QStringLiteral("User")).toString();
    settings.calendar = QUrl(profile.value(QStringLiteral("Calendar")).toString());
    settings.calendarName = profile.value(QStringLiteral("CalendarName")).toString();
    settings.trustedCertificate =
        profile.value(QStringLiteral("TrustedCertificate")).toString().toLatin1();
    settings.folder = profile.value(QStringLiteral("Folder")).toString();
    return settings;
}

void CServerSettings::Save() const {
    QSettings profile = Profile();
    profile.remove(group);
    profile.beginGroup(group);
    profile.setValue(QStringLiteral("Server"), server.toString());
    profile.setValue(QStringLiteral("User"), user);
    profile.setValue(QStringLiteral("Calendar"), calendar.toString());
    profile.setValue(QStringLiteral("CalendarName"), calendarName);
    profile.setValue(QStringLiteral("Folder"), folder);
    if (!trustedCertificate.isEmpty()) {
        profile.setValue(QStringLiteral("TrustedCertificate"),
                         QString::fromLatin1(trustedCertificate));
    }
    profile.endGroup();
    profile.sync();
}

void CServerSettings::Clear() {
    QSettings profile = Profile();
    profile.remove(group);
    profile.sync();
}
