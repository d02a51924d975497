#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <QUrl>

// The second calendar program of the sync tests (tests/sync/caldav_client.py over
// python3-caldav), reading and writing one calendar as one user. Each call runs it once and
// waits for it, a bounded time; a failure carries what it said.
class CCaldavClient {
public:
    CCaldavClient(QUrl calendar, QString user, QString password);

    // Every event of the calendar, sorted by UID: objects with uid, summary, dtstart (ISO
    // 8601), tzid, location, description, rrule and valarm (whether it has them) and raw
    // (the object's iCalendar text as the server sent it).
    ::testing::AssertionResult List(QJsonArray* events) const;
    // Runs the script's `command` on this calendar; its standard output lands in `output`.
    // "edit UID FIELD VALUE" changes summary, location, description or dtstart (ISO 8601; a
    // move keeps the event's length and time zone); "delete UID"; "add-recurring UID SUMMARY"
    // adds a weekly series in Europe/Berlin with a display alarm, a category and a property of
    // the other program's own.
    ::testing::AssertionResult Run(const QString& command, const QStringList& arguments,
                                   QByteArray* output = nullptr) const;

private:
    QUrl m_calendar;
    QString m_user;
    QString m_password;
};
