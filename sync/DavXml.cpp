#include "sync/DavXml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString dav = QStringLiteral("DAV:");
const QString caldav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
const QString calendarServer = QStringLiteral("http://calendarserver.org/ns/");

// "HTTP/1.1 404 Not Found" -> 404; 0 when unreadable.
int StatusCode(const QString& line) {
    const QStringList words = line.simplified().split(u' ');
    return words.size() >= 2 ? words[1].toInt() : 0;
}

// The text of the first <href> inside the current element, which is then left.
QString InnerHref(QXmlStreamReader& xml) {
    QString href;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"href" && xml.namespaceUri() == dav && href.isEmpty()) {
            href = xml.readElementText().trimmed();
        } else {
            xml.skipCurrentElement();
        }
    }
    return href;
}

void ReadResourceType(QXmlStreamReader& xml, CDavEntry& entry) {
    while (xml.readNextStartElement()) {
        if (xml.name() == u"calendar" && xml.namespaceUri() == caldav) {
            entry.isCalendar = true;
        }
        xml.skipCurrentElement();
    }
}

void ReadComponents(QXmlStreamReader& xml, CDavEntry& entry) {
    entry.takesEvents = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"comp" && xml.attributes().value(QStringLiteral("name")) == u"VEVENT") {
            entry.takesEvents = true;
        }
        xml.skipCurrentElement();
    }
}

void ReadProperty(QXmlStreamReader& xml, CDavEntry& entry) {
    const QStringView name = xml.name();
    const QStringView ns = xml.namespaceUri();
    if (ns == dav && name == u"getetag") {
        entry.etag = xml.readElementText().trimmed();
    } else if (ns == caldav && name == u"calendar-data") {
        entry.calendarData = xml.readElementText().toUtf8();
    } else if (ns == dav && name == u"displayname") {
        entry.displayName = xml.readElementText().trimmed();
    } else if (ns == dav && name == u"resourcetype") {
        ReadResourceType(xml, entry);
    } else if (ns == caldav && name == u"supported-calendar-component-set") {
        ReadComponents(xml, entry);
    } else if (ns == dav && name == u"current-user-principal") {
        entry.principal = InnerHref(xml);
    } else if (ns == caldav && name == u"calendar-home-set") {
        entry.calendarHome = InnerHref(xml);
    } else if (ns == calendarServer && name == u"getctag") {
        entry.collectionTag = xml.readElementText().trimmed();
    } else if (ns == dav && name == u"sync-token") {
        entry.syncToken = xml.readElementText().trimmed();
    } else {
        xml.skipCurrentElement();
    }
}

// A <propstat>: its properties count only when its status says they were found.
void ReadPropStat(QXmlStreamReader& xml, CDavEntry& entry) {
    CDavEntry found;
    int status = 200;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"prop") {
            while (xml.readNextStartElement()) {
                ReadProperty(xml, found);
            }
        } else if (xml.name() == u"status") {
            status = StatusCode(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (status < 200 || status >= 300) {
        return;
    }
    const auto take = [](auto& to, auto& from) {
        if (!from.isEmpty()) {
            to = std::move(from);
        }
    };
    take(entry.etag, found.etag);
    take(entry.calendarData, found.calendarData);
    take(entry.displayName, found.displayName);
    take(entry.principal, found.principal);
    take(entry.calendarHome, found.calendarHome);
    take(entry.collectionTag, found.collectionTag);
    take(entry.syncToken, found.syncToken);
    entry.isCalendar = entry.isCalendar || found.isCalendar;
    entry.takesEvents = entry.takesEvents && found.takesEvents;
}

CDavEntry ReadResponse(QXmlStreamReader& xml) {
    CDavEntry entry;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"href") {
            entry.href = xml.readElementText().trimmed();
        } else if (xml.name() == u"status") {
            entry.status = StatusCode(xml.readElementText());
        } else if (xml.name() == u"propstat") {
            ReadPropStat(xml, entry);
        } else {
            xml.skipCurrentElement();
        }
    }
    return entry;
}

// A body with the namespaces every request uses, `write` filling the root element.
template <typename Write> QByteArray Body(const QString& ns, const QString& root, Write write) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeNamespace(dav, QStringLiteral("d"));
    xml.writeNamespace(caldav, QStringLiteral("c"));
    xml.writeNamespace(calendarServer, QStringLiteral("cs"));
    xml.writeStartElement(ns, root);
    write(xml);
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QByteArray PropFind(std::initializer_list<std::pair<QString, QString>> props) {
    return Body(dav, QStringLiteral("propfind"), [&](QXmlStreamWriter& xml) {
        xml.writeStartElement(dav, QStringLiteral("prop"));
        for (const auto& [ns, name] : props) {
            xml.writeEmptyElement(ns, name);
        }
        xml.writeEndElement();
    });
}

void EtagAndData(QXmlStreamWriter& xml, bool data) {
    xml.writeStartElement(dav, QStringLiteral("prop"));
    xml.writeEmptyElement(dav, QStringLiteral("getetag"));
    if (data) {
        xml.writeEmptyElement(caldav, QStringLiteral("calendar-data"));
    }
    xml.writeEndElement();
}

} // namespace

std::optional<CMultiStatus> ParseMultiStatus(const QByteArray& text) {
    QXmlStreamReader xml(text);
    CMultiStatus result;
    if (!xml.readNextStartElement() || xml.name() != u"multistatus" || xml.namespaceUri() != dav) {
        return std::nullopt;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == u"response") {
            result.entries.push_back(ReadResponse(xml));
        } else if (xml.name() == u"sync-token") {
            result.syncToken = xml.readElementText().trimmed();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        return std::nullopt;
    }
    return result;
}

namespace DavBody {

QByteArray PrincipalQuery() {
    return PropFind({{dav, QStringLiteral("current-user-principal")}});
}

QByteArray HomeQuery() {
    return PropFind({{caldav, QStringLiteral("calendar-home-set")}});
}

QByteArray CollectionQuery() {
    return PropFind({{dav, QStringLiteral("resourcetype")},
                     {dav, QStringLiteral("displayname")},
                     {caldav, QStringLiteral("supported-calendar-component-set")},
                     {calendarServer, QStringLiteral("getctag")},
                     {dav, QStringLiteral("sync-token")}});
}

QByteArray SyncCollection(const QString& token) {
    return Body(dav, QStringLiteral("sync-collection"), [&](QXmlStreamWriter& xml) {
        xml.writeTextElement(dav, QStringLiteral("sync-token"), token);
        xml.writeTextElement(dav, QStringLiteral("sync-level"), QStringLiteral("1"));
        EtagAndData(xml, true);
    });
}

QByteArray Multiget(const QStringList& hrefs) {
    return Body(caldav, QStringLiteral("calendar-multiget"), [&](QXmlStreamWriter& xml) {
        EtagAndData(xml, true);
        for (const QString& href : hrefs) {
            xml.writeTextElement(dav, QStringLiteral("href"), href);
        }
    });
}

QByteArray EventQuery() {
    return Body(caldav, QStringLiteral("calendar-query"), [&](QXmlStreamWriter& xml) {
        EtagAndData(xml, false);
        xml.writeStartElement(caldav, QStringLiteral("filter"));
        xml.writeStartElement(caldav, QStringLiteral("comp-filter"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VCALENDAR"));
        xml.writeStartElement(caldav, QStringLiteral("comp-filter"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VEVENT"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

QByteArray MakeCalendar(const QString& displayName) {
    return Body(caldav, QStringLiteral("mkcalendar"), [&](QXmlStreamWriter& xml) {
        xml.writeStartElement(dav, QStringLiteral("set"));
        xml.writeStartElement(dav, QStringLiteral("prop"));
        xml.writeTextElement(dav, QStringLiteral("displayname"), displayName);
        xml.writeStartElement(caldav, QStringLiteral("supported-calendar-component-set"));
        xml.writeEmptyElement(caldav, QStringLiteral("comp"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VEVENT"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    });
}

} // namespace DavBody
