#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

class CDavClient;

// A calendar of the account that takes events.
struct CServerCalendar {
    QUrl url;
    QString name;
};

struct CDiscovery {
    QUrl home; // where new calendars go
    std::vector<CServerCalendar> calendars;
    QString failure; // for the user; empty when the account was found
    int status = 0;
    QByteArray refusedCertificate;
};

// The account's calendars from the server's address alone: /.well-known/caldav (or the
// address itself), the user's principal, its calendar home, the calendars in it.
CDiscovery DiscoverCalendars(CDavClient& client, const QUrl& server);

// Makes a calendar for events named `name` in `home`; nullopt with `failure` said otherwise.
std::optional<CServerCalendar> MakeCalendar(CDavClient& client, const QUrl& home,
                                            const QString& name, QString& failure);
