#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QThread>
#include <QUrl>

#include <utility>

class QTcpServer;

// What the proxy does to a request (and its answer).
enum class EFault {
    PassThrough,  // forward both ways, keeping the connection alive
    Refuse,       // stop listening (connection refused); an open connection closes at its
                  // next request
    Drop,         // close the client's connection once its request has arrived
    Delay,        // forward the request, hold its answer for `value` ms
    Status,       // answer `value` (401, 403, 404, 412, 500, 507...) without asking the server
    Cut,          // forward the answer's head and the first half of its body, then close
    RedirectLoop, // answer 301 pointing at the very URL asked for
    Huge,         // answer a well-formed 207 multistatus of `value` MB
    Redirect,     // answer 301 to the same path under `target` (e.g. the https server)
};

struct SFault {
    SFault() = default;
    SFault(EFault kind, int value = 0, QUrl target = {})
        : kind(kind), value(value), target(std::move(target)) {}

    EFault kind = EFault::PassThrough;
    int value = 0;
    QUrl target;
};

// A TCP proxy on 127.0.0.1 at a free port in front of a plain http server on 127.0.0.1, which
// injects faults into the HTTP requests passing through. It runs on a thread of its own, so a
// test that waits on the main thread does not hold it up. Every request counts towards the
// request a fault starts from, whatever the fault.
class CFaultProxy {
public:
    CFaultProxy();
    ~CFaultProxy();
    CFaultProxy(const CFaultProxy&) = delete;
    CFaultProxy& operator=(const CFaultProxy&) = delete;

    // Given a certificate and its key (PEM files), the proxy serves https to its clients and
    // still speaks plain http to the server behind it.
    ::testing::AssertionResult Start(quint16 targetPort, const QString& certificateFile = {},
                                     const QString& keyFile = {});
    quint16 Port() const { return m_port; }
    // "http://127.0.0.1:<port>/" (or https).
    QUrl BaseUrl() const;

    // The fault for the requests to come: the first `fromRequest - 1` of them still pass
    // through, the `fromRequest`th (counted from this call, 1 = the next) and all after it get
    // the fault. Any fault but an immediate Refuse listens again after a Refuse.
    void SetFault(const SFault& fault, int fromRequest = 1);
    void PassThrough() { SetFault({}); }

    // For the connections, on the proxy's thread: the fault for the request just come.
    SFault FaultForRequest();

private:
    bool Listen();
    bool MakeListener(const QString& certificateFile, const QString& keyFile);

    QThread m_thread;
    QObject* m_context = nullptr; // lives on m_thread; owns the listener and the connections
    QTcpServer* m_listener = nullptr;
    quint16 m_port = 0;
    quint16 m_targetPort = 0;
    bool m_tls = false;

    mutable QMutex m_mutex;
    SFault m_fault;
    int m_passesLeft = 0;
};
