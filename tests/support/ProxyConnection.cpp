#include "tests/support/ProxyConnection.h"

#include <QMap>
#include <QTcpSocket>
#include <QTimer>

namespace {

// A well-formed multistatus of blocks that each name one object.
QByteArray HugeMultiStatus(int megabytes) {
    QByteArray body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<multistatus xmlns=\"DAV:\">\n";
    for (qint64 number = 0; body.size() < megabytes * 1024LL * 1024; ++number) {
        const QByteArray id = QByteArray::number(number).rightJustified(10, '0');
        body += "<response><href>/huge/" + id + ".ics</href><propstat><prop><getetag>\"" + id +
                "\"</getetag></prop><status>HTTP/1.1 200 OK</status></propstat></response>\n";
    }
    return body + "</multistatus>\n";
}

QByteArray ReasonOf(int status) {
    static const QMap<int, QByteArray> reasons{{207, "Multi-Status"},
                                               {301, "Moved Permanently"},
                                               {401, "Unauthorized"},
                                               {403, "Forbidden"},
                                               {404, "Not Found"},
                                               {412, "Precondition Failed"},
                                               {500, "Internal Server Error"},
                                               {507, "Insufficient Storage"}};
    return reasons.value(status, "Fault");
}

QByteArray Head(int status, const QByteArray& headers, qint64 length) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonOf(status) + "\r\n" + headers +
           "Content-Length: " + QByteArray::number(length) + "\r\nConnection: close\r\n\r\n";
}

} // namespace

qsizetype HttpMessageLength(const QByteArray& bytes) {
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        return -1;
    }
    qsizetype length = headEnd + 4;
    for (const QByteArray& line : bytes.left(headEnd).split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length") {
            length += line.mid(colon + 1).trimmed().toLongLong();
        }
    }
    return bytes.size() >= length ? length : -1;
}

CProxyConnection::CProxyConnection(QTcpSocket* client, quint16 targetPort, CFaultProxy& proxy)
    : QObject(client->parent()), m_client(client), m_server(new QTcpSocket(this)), m_proxy(proxy) {
    m_client->setParent(this);
    connect(m_client, &QTcpSocket::readyRead, this, &CProxyConnection::ReadRequests);
    connect(m_client, &QTcpSocket::disconnected, this, &CProxyConnection::Close);
    connect(m_server, &QTcpSocket::readyRead, this, &CProxyConnection::ForwardAnswer);
    connect(m_server, &QTcpSocket::disconnected, this, &CProxyConnection::ForwardAnswer);
    connect(m_server, &QTcpSocket::errorOccurred, this, &CProxyConnection::ForwardAnswer);
    m_server->connectToHost(QHostAddress::LocalHost, targetPort);
}

void CProxyConnection::ReadRequests() {
    m_fromClient += m_client->readAll();
    qsizetype length = 0;
    while (!m_closing && (length = HttpMessageLength(m_fromClient)) >= 0) {
        const QByteArray request = m_fromClient.left(length);
        m_fromClient.remove(0, length);
        HandleRequest(request);
    }
}

void CProxyConnection::HandleRequest(const QByteArray& request) {
    const QByteArray line = request.left(request.indexOf("\r\n"));
    const QByteArray path = line.split(' ').value(1);
    const SFault fault = m_proxy.FaultForRequest();
    switch (fault.kind) {
    case EFault::PassThrough:
        m_server->write(request);
        break;
    case EFault::Refuse:
    case EFault::Drop:
        Close();
        break;
    case EFault::Delay:
        m_holdUntil.setRemainingTime(fault.value);
        m_server->write(request);
        break;
    case EFault::Status:
        Answer(fault.value,
               fault.value == 401 ? "WWW-Authenticate: Basic realm=\"dav\"\r\n" : QByteArray(),
               "fault proxy\n");
        break;
    case EFault::Cut:
        m_cutting = true;
        m_server->write(request);
        break;
    case EFault::RedirectLoop:
    case EFault::Redirect: {
        const QUrl base = fault.kind == EFault::Redirect ? fault.target : m_proxy.BaseUrl();
        const QByteArray location = base.resolved(QUrl::fromEncoded(path)).toEncoded();
        Answer(301, "Location: " + location + "\r\n", {});
        break;
    }
    case EFault::Huge:
        Answer(207, "Content-Type: application/xml; charset=utf-8\r\n",
               HugeMultiStatus(fault.value));
        break;
    }
}

void CProxyConnection::ForwardAnswer() {
    if (m_closing) {
        return;
    }
    m_fromServer += m_server->readAll();
    const bool serverGone = m_server->state() == QAbstractSocket::UnconnectedState;
    if (m_cutting) {
        FinishCut();
    } else if (!m_holdUntil.hasExpired()) {
        // Comes back when the hold is over; the timer may fire a little early.
        QTimer::singleShot(std::chrono::milliseconds(m_holdUntil.remainingTime() + 1), this,
                           &CProxyConnection::ForwardAnswer);
    } else {
        m_client->write(m_fromServer);
        m_fromServer.clear();
        if (serverGone) {
            Close();
        }
    }
}

void CProxyConnection::FinishCut() {
    const qsizetype length = HttpMessageLength(m_fromServer);
    const bool serverGone = m_server->state() == QAbstractSocket::UnconnectedState;
    if (length < 0 && !serverGone) {
        return;
    }
    const QByteArray answer = length < 0 ? m_fromServer : m_fromServer.left(length);
    const qsizetype headLength = answer.indexOf("\r\n\r\n") + 4;
    const qsizetype bodyLength = answer.size() - headLength;
    m_client->write(answer.left(bodyLength > 0 ? headLength + bodyLength / 2 : answer.size() / 2));
    Close();
}

void CProxyConnection::Answer(int status, const QByteArray& headers, const QByteArray& body) {
    m_client->write(Head(status, headers, body.size()) + body);
    Close();
}

void CProxyConnection::Close() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    m_server->abort();
    // What was written still goes out before the connection closes.
    connect(m_client, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    m_client->disconnectFromHost();
    if (m_client->state() == QAbstractSocket::UnconnectedState) {
        deleteLater();
    }
}
