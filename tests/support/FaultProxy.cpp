#include "tests/support/FaultProxy.h"

#include "tests/support/ProxyConnection.h"

#include <QFile>
#include <QMutexLocker>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>

CFaultProxy::CFaultProxy() {
    m_thread.setObjectName("fault proxy");
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

CFaultProxy::~CFaultProxy() {
    // The listener and the connections are the context's children, gone with it on its thread.
    m_thread.quit();
    m_thread.wait();
}

::testing::AssertionResult CFaultProxy::Start(quint16 targetPort, const QString& certificateFile,
                                              const QString& keyFile) {
    m_targetPort = targetPort;
    m_tls = !certificateFile.isEmpty();
    bool listening = false;
    QMetaObject::invokeMethod(
        m_context,
        [this, &listening, &certificateFile, &keyFile] {
            listening = MakeListener(certificateFile, keyFile) && Listen();
        },
        Qt::BlockingQueuedConnection);
    if (!listening) {
        return ::testing::AssertionFailure()
               << "the fault proxy cannot listen on 127.0.0.1 (or read its certificate)";
    }
    return ::testing::AssertionSuccess();
}

bool CFaultProxy::MakeListener(const QString& certificateFile, const QString& keyFile) {
    if (m_tls) {
        QFile key(keyFile);
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificateChain(QSslCertificate::fromPath(certificateFile));
        tls.setPrivateKey(
            QSslKey(key.open(QIODevice::ReadOnly) ? key.readAll() : QByteArray(), QSsl::Ec));
        if (tls.localCertificate().isNull() || tls.privateKey().isNull()) {
            return false;
        }
        auto* server = new QSslServer(m_context);
        server->setSslConfiguration(tls);
        m_listener = server;
    } else {
        m_listener = new QTcpServer(m_context);
    }
    // Announced once a connection is ready for use, after the handshake under https.
    QObject::connect(m_listener, &QTcpServer::pendingConnectionAvailable, m_context, [this] {
        while (QTcpSocket* client = m_listener->nextPendingConnection()) {
            new CProxyConnection(client, m_targetPort, *this);
        }
    });
    return true;
}

bool CFaultProxy::Listen() {
    if (!m_listener->isListening() && !m_listener->listen(QHostAddress::LocalHost, m_port)) {
        return false;
    }
    // The port stays the same across a refusal, so only the first listen sets it.
    if (m_port == 0) {
        m_port = m_listener->serverPort();
    }
    return true;
}

QUrl CFaultProxy::BaseUrl() const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(m_tls ? "https" : "http").arg(m_port));
}

void CFaultProxy::SetFault(const SFault& fault, int fromRequest) {
    {
        QMutexLocker lock(&m_mutex);
        m_fault = fault;
        m_passesLeft = std::max(fromRequest - 1, 0);
    }
    const bool refuseNow = fault.kind == EFault::Refuse && fromRequest <= 1;
    QMetaObject::invokeMethod(
        m_context,
        [this, refuseNow] {
            if (m_listener == nullptr) {
                return;
            }
            if (refuseNow) {
                m_listener->close();
            } else {
                Listen();
            }
        },
        Qt::BlockingQueuedConnection);
}

SFault CFaultProxy::FaultForRequest() {
    QMutexLocker lock(&m_mutex);
    if (m_passesLeft > 0) {
        --m_passesLeft;
        return {};
    }
    if (m_fault.kind == EFault::Refuse) {
        m_listener->close();
    }
    return m_fault;
}
