#include "tests/support/CaldavClient.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/RadicaleServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>
#include <QXmlStreamReader>

#include <memory>
#include <vector>

namespace {

const QString kUser = "alice";
const QString kPassword = "secret";

struct SReply {
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray location;
};

// One PROPFIND of `url` as alice (trusting `trustedPem` too), waited for on this thread while the
// proxy works on its own.
SReply Propfind(QNetworkAccessManager& network, const QUrl& url,
                QNetworkRequest::RedirectPolicy redirects, int timeoutMs = 0,
                const QByteArray& trustedPem = {}) {
    QNetworkRequest request(url);
    if (!trustedPem.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(QSslCertificate::fromData(trustedPem));
        request.setSslConfiguration(tls);
    }
    request.setRawHeader("Authorization", "Basic " + (kUser + ':' + kPassword).toUtf8().toBase64());
    request.setRawHeader("Depth", "0");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, redirects);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = network.sendCustomRequest(request, "PROPFIND");
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    const std::unique_ptr<QNetworkReply> gone(reply);
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->error(),
            reply->isOpen() ? reply->readAll() : QByteArray(), reply->rawHeader("Location")};
}

bool WellFormedXml(const QByteArray& bytes) {
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
        reader.readNext();
    }
    return !reader.hasError();
}

QJsonObject EventOf(const QJsonArray& events, const QString& uid) {
    for (const QJsonValue& event : events) {
        if (event["uid"] == uid) {
            return event.toObject();
        }
    }
    return {};
}

using E = QNetworkReply::NetworkError;
const auto manual = QNetworkRequest::ManualRedirectPolicy;
const auto follow = QNetworkRequest::NoLessSafeRedirectPolicy;
const int any = -1;

struct SCase {
    SFault fault;
    QNetworkRequest::RedirectPolicy redirects;
    int timeoutMs;
    int status;
    E error;
    int requests;
};

// Qt sends a dropped request once more on a new connection. Radicale answers HTTP/1.0 and gzip,
// and Qt takes a close as the end of such an answer: a cut shows only in the body.
std::vector<SCase> FaultCases(const QUrl& httpsServer) {
    return {
        {{EFault::PassThrough}, manual, 0, 207, E::NoError, 1},
        {{EFault::Status, 507}, manual, 0, 507, E::UnknownServerError, 1},
        {{EFault::Status, 401}, manual, 0, 401, E::AuthenticationRequiredError, 1},
        {{EFault::Drop}, manual, 0, 0, E::RemoteHostClosedError, 2},
        {{EFault::Cut}, manual, 0, 207, E::NoError, 1},
        {{EFault::Delay, 20000}, manual, 300, 0, E::OperationCanceledError, 1},
        {{EFault::RedirectLoop}, follow, 0, 301, E::TooManyRedirectsError, any},
        {{EFault::Redirect, 0, httpsServer}, follow, 0, 301, E::SslHandshakeFailedError, 1},
        {{EFault::Huge, 2}, manual, 0, 207, E::NoError, 1},
        {{EFault::Refuse}, manual, 0, 0, E::ConnectionRefusedError, 0},
    };
}

class CServerFixtureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Start({{kUser, kPassword}}));
        QString error;
        m_calendar = m_server.MakeCalendar(kUser, kPassword, "work", &error);
        ASSERT_FALSE(m_calendar.isEmpty()) << error.toStdString();
        ASSERT_TRUE(m_proxy.Start(m_server.Port()));
        m_viaProxy = m_proxy.BaseUrl().resolved(QUrl(m_calendar.path()));
    }
    void TearDown() override {
        if (HasFailure()) {
            std::cerr << "Radicale's log:\n" << m_server.LogText().toStdString();
        }
    }

    CRadicaleServer m_server;
    CFaultProxy m_proxy;
    QUrl m_calendar;
    QUrl m_viaProxy;
};

} // namespace

// The second client writes, edits and deletes through the proxy; what it wrote lies in the
// server's own temporary storage and reads back field for field.
TEST_F(CServerFixtureTest, SecondClientWritesThroughTheProxyAndReadsBack) {
    const CCaldavClient client(m_viaProxy, kUser, kPassword);
    ASSERT_TRUE(client.Put("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Tests//EN\r\n"
                           "BEGIN:VEVENT\r\nUID:one@tavelin.invalid\r\nDTSTAMP:20260101T080000Z\r\n"
                           "DTSTART:20260302T090000\r\nDTEND:20260302T100000\r\n"
                           "SUMMARY:Budget\\, review\\; draft\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
    ASSERT_TRUE(client.Edit("one@tavelin.invalid", "dtstart", "2026-03-03T14:00:00"));
    ASSERT_TRUE(client.Edit("one@tavelin.invalid", "location", "Room 4"));
    ASSERT_TRUE(client.AddRecurring("series@elsewhere", "Stand-up"));
    EXPECT_TRUE(
        m_proxy.RequestLines().contains("PUT /alice/work/one%40tavelin.invalid.ics HTTP/1.1"));

    QJsonArray events;
    ASSERT_TRUE(client.List(&events));
    ASSERT_EQ(events.size(), 2);
    const QJsonObject one = EventOf(events, "one@tavelin.invalid");
    EXPECT_EQ(one["summary"], "Budget, review; draft");
    EXPECT_EQ(one["dtstart"], "2026-03-03T14:00:00");
    EXPECT_TRUE(one["raw"].toString().contains("T150000")) << "a move keeps the event's length";
    EXPECT_EQ(one["location"], "Room 4");
    EXPECT_EQ(one["rrule"], false);
    const QJsonObject series = EventOf(events, "series@elsewhere");
    EXPECT_EQ(series["rrule"], true);
    EXPECT_EQ(series["valarm"], true);
    EXPECT_EQ(series["tzid"], "Europe/Berlin");

    const QDir stored(m_server.StorageFolder() + "/collection-root/alice/work");
    EXPECT_EQ(stored.entryList({"*.ics"}, QDir::Files).size(), 2);
    ASSERT_TRUE(client.Delete("one@tavelin.invalid"));
    ASSERT_TRUE(client.List(&events));
    EXPECT_EQ(events.size(), 1);
    EXPECT_FALSE(client.Delete("one@tavelin.invalid")) << "a missing event is a failure";
}

// Each fault reaches a plain Qt request as the server's own failure would, counted by the
// proxy; under https the proxy still reaches the http server; a fault set from a later request
// lets the earlier ones through.
TEST_F(CServerFixtureTest, ProxyFaultsReachAPlainRequest) {
    CRadicaleServer https;
    ASSERT_TRUE(https.Start({{kUser, kPassword}}, CRadicaleServer::EScheme::Https));
    ASSERT_FALSE(https.MakeCalendar(kUser, kPassword, "work").isEmpty())
        << "the server's own certificate is trusted when asked for";

    for (const SCase& c : FaultCases(https.BaseUrl())) {
        SCOPED_TRACE(static_cast<int>(c.fault.kind));
        m_proxy.SetFault(c.fault);
        m_proxy.ResetCount();
        QNetworkAccessManager network;
        const SReply reply = Propfind(network, m_viaProxy, c.redirects, c.timeoutMs);
        EXPECT_EQ(reply.status, c.status);
        EXPECT_EQ(reply.error, c.error);
        if (c.requests != any) {
            EXPECT_EQ(m_proxy.RequestCount(), c.requests);
        }
        if (c.status == 207) {
            EXPECT_EQ(WellFormedXml(reply.body), c.fault.kind != EFault::Cut);
        }
        if (c.fault.kind == EFault::RedirectLoop) {
            EXPECT_EQ(reply.location, m_viaProxy.toEncoded());
        }
        if (c.fault.kind == EFault::Huge) {
            EXPECT_GE(reply.body.size(), 2 * 1024 * 1024);
        }
    }

    // Under https the proxy still reaches the http server; a redirect back to http is refused.
    CFaultProxy tlsProxy;
    ASSERT_TRUE(tlsProxy.Start(m_server.Port(), m_server.CertificateFile(), m_server.KeyFile()));
    const QUrl viaTls = tlsProxy.BaseUrl().resolved(QUrl(m_calendar.path()));
    const QByteArray pem = m_server.CertificatePem();
    QNetworkAccessManager tlsNetwork;
    EXPECT_EQ(Propfind(tlsNetwork, viaTls, manual, 0, pem).status, 207);
    tlsProxy.SetFault({EFault::Redirect, 0, m_server.BaseUrl()});
    EXPECT_EQ(Propfind(tlsNetwork, viaTls, follow, 0, pem).error, E::InsecureRedirectError);

    // The server goes away at the third request: its connection closes and none is taken
    // after it. Radicale closes every connection after its answer, so each request has its own.
    const int connections = m_proxy.ConnectionCount();
    m_proxy.SetFault({EFault::Refuse}, 3);
    QNetworkAccessManager network;
    EXPECT_EQ(Propfind(network, m_viaProxy, manual).status, 207);
    EXPECT_EQ(Propfind(network, m_viaProxy, manual).status, 207);
    EXPECT_EQ(m_proxy.ConnectionCount(), connections + 2);
    EXPECT_NE(Propfind(network, m_viaProxy, manual).error, E::NoError);
    EXPECT_EQ(Propfind(network, m_viaProxy, manual).error, E::ConnectionRefusedError);
}
