#include "sync/DavClient.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

namespace {

bool IsLoopback(const QUrl& url) {
    const QString host = url.host();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
           QHostAddress(host).isLoopback();
}

QByteArray Fingerprint(const QSslCertificate& certificate) {
    return certificate.digest(QCryptographicHash::Sha256).toHex();
}

QString NetworkFailure(QNetworkReply& reply) {
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("The server refused the connection.");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("The server's name is not known.");
    case QNetworkReply::TooManyRedirectsError:
        return QStringLiteral("The server sent the request round in circles.");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("The server redirected from https to plain http, which was refused.");
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("The server did not answer in time.");
    default:
        return QStringLiteral("The connection failed: %1").arg(reply.errorString());
    }
}

} // namespace

CDavClient::CDavClient(CDavAccount account, CDavLimits limits)
    : m_account(std::move(account)), m_limits(limits),
      m_network(std::make_unique<QNetworkAccessManager>()) {
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

CDavClient::~CDavClient() = default;

QString CDavClient::UnsafeUrlReason(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) {
        return QStringLiteral("The server address is not a valid URL.");
    }
    if (url.scheme() == u"https" || (url.scheme() == u"http" && IsLoopback(url))) {
        return {};
    }
    return QStringLiteral("The server address must start with https:// (plain http only for "
                          "a server on this computer).");
}

QNetworkRequest CDavClient::Request(const QByteArray& method, const QUrl& url,
                                    const DavHeaders& headers) const {
    QNetworkRequest request(url);
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects);
    request.setTransferTimeout(m_limits.timeoutMs);
    const QByteArray credentials = (m_account.user + u':' + m_account.password).toUtf8();
    request.setRawHeader("Authorization", "Basic " + credentials.toBase64());
    request.setHeader(QNetworkRequest::ContentTypeHeader, method == "PUT"
                                                              ? "text/calendar; charset=utf-8"
                                                              : "application/xml; charset=utf-8");
    for (const auto& [name, value] : headers) {
        request.setRawHeader(name, value);
    }
    return request;
}

// What came of a finished request: its status and body, or why there is no usable answer.
void CDavClient::Conclude(QNetworkReply& reply, bool tooLarge, CDavReply& result) const {
    result.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.etag = reply.rawHeader("ETag");
    if (!tooLarge && !result.cancelled && reply.isOpen()) {
        result.body = reply.readAll();
    }
    if (result.cancelled) {
        result.failure = QStringLiteral("Cancelled.");
    } else if (tooLarge) {
        result.failure =
            QStringLiteral("The server's answer was larger than %1 MB and was refused.")
                .arg(m_limits.maxAnswerBytes >> 20);
    } else if (!result.refusedCertificate.isEmpty()) {
        result.failure = QStringLiteral("The server's certificate is not trusted (SHA-256 %1).")
                             .arg(QString::fromLatin1(result.refusedCertificate));
    } else if (const int error = reply.error();
               result.status == 0 || (error > 0 && error < 200) || (error > 300 && error < 400)) {
        // Qt numbers the connection's errors below 200 and the protocol's from 301 to 399;
        // the others carry an HTTP status, which the caller reads.
        result.failure = NetworkFailure(reply);
        result.status = 0;
    }
}

CDavReply CDavClient::Send(const QByteArray& method, const QUrl& url, const QByteArray& body,
                           const DavHeaders& headers) {
    CDavReply result;
    if (m_cancelled) {
        result.cancelled = true;
        result.failure = QStringLiteral("Cancelled.");
        return result;
    }
    if (const QString unsafe = UnsafeUrlReason(url); !unsafe.isEmpty()) {
        result.failure = unsafe;
        return result;
    }
    const QNetworkRequest request = Request(method, url, headers);
    ++m_requests;
    QNetworkReply* reply = m_network->sendCustomRequest(request, method, body);
    QEventLoop loop;
    bool tooLarge = false;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64) {
        if (received > m_limits.maxAnswerBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::sslErrors, &loop, [&](const QList<QSslError>& errors) {
        const QByteArray seen = Fingerprint(reply->sslConfiguration().peerCertificate());
        if (!m_account.trustedCertificate.isEmpty() && seen == m_account.trustedCertificate) {
            reply->ignoreSslErrors(errors);
        } else {
            result.refusedCertificate = seen;
        }
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (m_cancelled) {
            result.cancelled = true;
            reply->abort();
        }
    });
    watch.start(50);
    if (!reply->isFinished()) {
        loop.exec();
    }
    Conclude(*reply, tooLarge, result);
    reply->deleteLater();
    return result;
}
