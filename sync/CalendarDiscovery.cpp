#include "sync/CalendarDiscovery.h"

#include "sync/DavClient.h"
#include "sync/DavXml.h"
#include <QUuid>

namespace {

// The answer's entries, or nothing with the reason in `found`.
std::optional<CMultiStatus> Ask(CDavClient& client, const QUrl& url, const QByteArray& body,
                                const QByteArray& depth, CDiscovery& found) {
    const CDavReply reply = client.Send("PROPFIND", url, body, {{"Depth", depth}});
    found.status = reply.status;
    found.refusedCertificate = reply.refusedCertificate;
    if (!reply.failure.isEmpty()) {
        found.failure = reply.failure;
        return std::nullopt;
    }
    if (reply.status == 401) {
        found.failure = QStringLiteral("The server refused the user name or password.");
        return std::nullopt;
    }
    std::optional<CMultiStatus> answer = ParseMultiStatus(reply.body);
    if (reply.status != 207 || !answer) {
        found.failure = QStringLiteral("No calendar server answered at %1 (HTTP %2).")
                            .arg(url.toDisplayString())
                            .arg(reply.status);
        return std::nullopt;
    }
    return answer;
}

QString FirstOf(const CMultiStatus& answer, QString CDavEntry::*field) {
    for (const CDavEntry& entry : answer.entries) {
        if (!(entry.*field).isEmpty()) {
            return entry.*field;
        }
    }
    return {};
}

} // namespace

CDiscovery DiscoverCalendars(CDavClient& client, const QUrl& server) {
    CDiscovery found;
    if (const QString unsafe = CDavClient::UnsafeUrlReason(server); !unsafe.isEmpty()) {
        found.failure = unsafe;
        return found;
    }
    std::optional<CMultiStatus> answer = Ask(client, server.resolved(QUrl("/.well-known/caldav")),
                                             DavBody::PrincipalQuery(), "0", found);
    QUrl base = server.resolved(QUrl("/.well-known/caldav"));
    if ((!answer || FirstOf(*answer, &CDavEntry::principal).isEmpty()) && found.status != 401 &&
        found.refusedCertificate.isEmpty()) {
        found = {};
        answer = Ask(client, server, DavBody::PrincipalQuery(), "0", found);
        base = server;
    }
    const QString principal = answer ? FirstOf(*answer, &CDavEntry::principal) : QString();
    if (!answer || principal.isEmpty()) {
        if (found.failure.isEmpty()) {
            found.failure = QStringLiteral("The server did not say which account is yours.");
        }
        return found;
    }
    answer = Ask(client, base.resolved(QUrl(principal)), DavBody::HomeQuery(), "0", found);
    const QString home = answer ? FirstOf(*answer, &CDavEntry::calendarHome) : QString();
    if (!answer || home.isEmpty()) {
        if (found.failure.isEmpty()) {
            found.failure = QStringLiteral("The server keeps no calendars for this account.");
        }
        return found;
    }
    found.home = base.resolved(QUrl(home));
    answer = Ask(client, found.home, DavBody::CollectionQuery(), "1", found);
    if (!answer) {
        return found;
    }
    for (const CDavEntry& entry : answer->entries) {
        if (entry.isCalendar && entry.takesEvents) {
            const QUrl url = found.home.resolved(QUrl(entry.href));
            found.calendars.push_back(
                {url, entry.displayName.isEmpty() ? url.path() : entry.displayName});
        }
    }
    found.failure.clear();
    return found;
}

std::optional<CServerCalendar> MakeCalendar(CDavClient& client, const QUrl& home,
                                            const QString& name, QString& failure) {
    QUrl url = home;
    QString path = home.path();
    if (!path.endsWith(u'/')) {
        path += u'/';
    }
    url.setPath(path + QUuid::createUuid().toString(QUuid::WithoutBraces) + u'/');
    const CDavReply reply = client.Send("MKCALENDAR", url, DavBody::MakeCalendar(name));
    if (!reply.Ok()) {
        failure = !reply.failure.isEmpty()
                      ? reply.failure
                      : QStringLiteral("The server did not make the calendar (HTTP %1).")
                            .arg(reply.status);
        return std::nullopt;
    }
    return CServerCalendar{url, name};
}
