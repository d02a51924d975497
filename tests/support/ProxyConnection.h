#pragma once

#include "tests/support/FaultProxy.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>

class QTcpSocket;

// The length of the HTTP message at the start of `bytes` (head and Content-Length body), or
// -1 while its head or body is still incomplete.
qsizetype HttpMessageLength(const QByteArray& bytes);

// One client connection of the fault proxy with its own connection to the server. Requests
// are framed by their head and Content-Length so that each one gets the proxy's fault of the
// moment; answers pass through as they come unless a fault holds, cuts or replaces them.
class CProxyConnection : public QObject {
    Q_OBJECT
public:
    CProxyConnection(QTcpSocket* client, quint16 targetPort, CFaultProxy& proxy);

private:
    void ReadRequests();
    void HandleRequest(const QByteArray& request);
    void ForwardAnswer();
    void FinishCut();
    void Answer(int status, const QByteArray& headers, const QByteArray& body);
    void Close();

    QTcpSocket* m_client;
    QTcpSocket* m_server;
    CFaultProxy& m_proxy;
    QByteArray m_fromClient;
    QByteArray m_fromServer;
    QDeadlineTimer m_holdUntil;
    bool m_cutting = false;
    bool m_closing = false;
};
