#include "sync/SyncEngine.h"

#include "sync/SyncRun.h"
#include <QCoreApplication>
#include <QThread>

CSyncEngine::CSyncEngine(CSyncStoreGate& gate, QObject* parent) : QObject(parent), m_gate(gate) {}

CSyncEngine::~CSyncEngine() {
    Cancel();
    // The worker may be waiting for this thread to touch the store: serve it until it ends.
    while (m_thread && !m_thread->wait(10)) {
        QCoreApplication::sendPostedEvents(this);
    }
    delete m_thread;
}

template <typename Work>
bool CSyncEngine::Start(const CDavAccount& account, const CDavLimits& limits, Work work) {
    if (m_thread) {
        return false;
    }
    m_thread = QThread::create([this, account, limits, work] {
        CDavClient client(account, limits);
        {
            const std::lock_guard lock(m_clientLock);
            m_client = &client;
        }
        work(client);
        const std::lock_guard lock(m_clientLock);
        m_client = nullptr;
    });
    m_thread->start();
    return true;
}

void CSyncEngine::Finish() {
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

bool CSyncEngine::StartSync(const CDavAccount& account, const QUrl& calendar,
                            const std::filesystem::path& folder, const QString& stateFile,
                            const CDavLimits& limits) {
    if (m_thread) {
        return false; // before taking what was heard, which the running sync may not have seen
    }
    std::optional<std::set<std::string>> changed = m_changes.Take();
    if (!m_lastComplete) {
        changed.reset(); // what the last sync left undone is only found by a whole comparison
    }
    return Start(account, limits, [=, this](CDavClient& client) {
        const auto onWindowThread = [this](const std::function<void()>& work) {
            QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
        };
        const auto report = [this](int done, int total) { emit progress(done, total); };
        CSyncRun run(client, m_gate, onWindowThread, folder, calendar, stateFile, report, changed,
                     &m_kept);
        const CSyncSummary summary = run.Run();
        m_lastComplete = summary.complete;
        QMetaObject::invokeMethod(this, [this, summary] {
            Finish();
            emit syncFinished(summary);
        });
    });
}

bool CSyncEngine::StartDiscovery(const CDavAccount& account) {
    return Start(account, {}, [this, server = account.server](CDavClient& client) {
        const CDiscovery found = DiscoverCalendars(client, server);
        QMetaObject::invokeMethod(this, [this, found] {
            Finish();
            emit discoveryFinished(found);
        });
    });
}

bool CSyncEngine::StartMakeCalendar(const CDavAccount& account, const QUrl& home,
                                    const QString& name) {
    return Start(account, {}, [this, home, name](CDavClient& client) {
        QString failure;
        const std::optional<CServerCalendar> made = MakeCalendar(client, home, name, failure);
        QMetaObject::invokeMethod(this, [this, made, failure] {
            Finish();
            emit calendarMade(made, failure);
        });
    });
}

void CSyncEngine::Cancel() {
    const std::lock_guard lock(m_clientLock);
    if (m_client) {
        m_client->Cancel();
    }
}
