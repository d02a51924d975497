#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One <response> of a WebDAV multistatus answer, with the properties the server found.
struct CDavEntry {
    QString href;            // as the server wrote it (a path, percent-encoded)
    int status = 200;        // the response's own status (404: gone, in a sync report)
    QString etag;            // getetag
    QByteArray calendarData; // calendar-data, UTF-8
    QString displayName;
    bool isCalendar = false; // resourcetype holds calendar
    bool takesEvents = true; // supported-calendar-component-set names VEVENT, or is absent
    QString principal;       // current-user-principal's href
    QString calendarHome;    // calendar-home-set's href
    QString collectionTag;   // getctag (CalendarServer)
    QString syncToken;       // the collection's sync-token property
};

struct CMultiStatus {
    std::vector<CDavEntry> entries;
    QString syncToken; // the report's own sync-token (RFC 6578)
};

// Reads a 207 answer. nullopt when the text is not a well-formed multistatus; the caller has
// bounded its size before.
std::optional<CMultiStatus> ParseMultiStatus(const QByteArray& xml);

// The request bodies the sync sends.
namespace DavBody {
QByteArray PrincipalQuery();  // current-user-principal
QByteArray HomeQuery();       // calendar-home-set
QByteArray CollectionQuery(); // resourcetype, displayname, components, getctag, sync-token
QByteArray SyncCollection(const QString& token);     // getetag and calendar-data
QByteArray Multiget(const QStringList& hrefs);       // calendar-data of these
QByteArray EventQuery();                             // every VEVENT, getetag
QByteArray MakeCalendar(const QString& displayName); // MKCALENDAR for VEVENT
} // namespace DavBody
