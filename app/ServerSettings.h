#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The calendar server this program syncs with, as kept in the settings ("CalendarServer/..."):
// never the password, which only the secret store keeps.
struct CServerSettings {
    QUrl server;
    QString user;
    QUrl calendar;        // the collection picked (or made) in the account
    QString calendarName; // as the server names it, for the dialog
    // The SHA-256 fingerprint (hex) of the certificate the user trusted for this server.
    QByteArray trustedCertificate;
    // The working directory whose meetings go to this calendar (its canonical path): another
    // folder opened later is not poured into the same calendar unasked.
    QString folder;

    bool IsConnected() const { return server.isValid() && !user.isEmpty() && calendar.isValid(); }

    static CServerSettings Load();
    void Save() const;
    static void Clear();
};
