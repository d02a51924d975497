#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <atomic>
#include <memory>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// Who the sync speaks to the server as. The password is only ever held here, in memory.
struct CDavAccount {
    QUrl server;
    QString user;
    QString password;
    // The SHA-256 fingerprint (hex) of a certificate the user chose to trust for this server.
    QByteArray trustedCertificate;
};

struct CDavLimits {
    int timeoutMs = 30000;               // no byte for this long: the server is taken as gone
    qint64 maxAnswerBytes = 256LL << 20; // a larger answer is refused, not read
    int maxRedirects = 5;
};

struct CDavReply {
    int status = 0; // the HTTP status; 0 when no answer came
    QByteArray body;
    QByteArray etag;
    QString failure;               // why no usable answer came (connection, time-out, size...)
    QByteArray refusedCertificate; // the fingerprint of a certificate not trusted
    bool cancelled = false;

    bool Ok() const { return failure.isEmpty() && status >= 200 && status < 300; }
};

using DavHeaders = QList<std::pair<QByteArray, QByteArray>>;

// WebDAV requests, one at a time, on the thread that made the client. Each call waits for its
// answer in an event loop of its own, so a sync reads as a sequence of steps; it must never be
// made on the window's thread.
class CDavClient {
public:
    CDavClient(CDavAccount account, CDavLimits limits = {});
    ~CDavClient();
    CDavClient(const CDavClient&) = delete;
    CDavClient& operator=(const CDavClient&) = delete;

    CDavReply Send(const QByteArray& method, const QUrl& url, const QByteArray& body = {},
                   const DavHeaders& headers = {});

    // Stops the request under way and every later one; safe from any thread.
    void Cancel() { m_cancelled = true; }
    bool IsCancelled() const { return m_cancelled; }
    int RequestCount() const { return m_requests; }

    // Why a URL may not carry the password: plain http is only for this machine's own server.
    static QString UnsafeUrlReason(const QUrl& url);

private:
    QNetworkRequest Request(const QByteArray& method, const QUrl& url,
                            const DavHeaders& headers) const;
    void Conclude(QNetworkReply& reply, bool tooLarge, CDavReply& result) const;

    CDavAccount m_account;
    CDavLimits m_limits;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::atomic<bool> m_cancelled{false};
    int m_requests = 0;
};
