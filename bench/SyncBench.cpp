// The sync against a real Radicale on this machine, at N meetings (default 10,000):
//   up:    the first sync of N meetings to an empty calendar, against a bare client sending
//          the same objects as PUTs, one after another over one kept-alive connection;
//   down:  the first sync of that calendar into an empty folder, against a bare client
//          asking for every object in one collection-sync REPORT;
//   quiet: a sync with nothing changed: its requests and the program's own processor time.
// Wall-clock ratios of the same run; the server's time dominates both sides of each ratio.
//     sync_bench [N]
#include "share/CalendarObject.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "sync/DavXml.h"
#include "sync/SyncEngine.h"
#include "sync/SyncStoreGate.h"
#include "tests/support/RadicaleServer.h"
#include "tests/support/TempFolder.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

CNewMeeting Meeting(std::size_t i) {
    CNewMeeting meeting{CMeeting(CDateTime(2020 + int(i % 7), 1 + int(i % 12), 1 + int(i % 28),
                                           8 + int(i % 10), 0, 0)),
                        {}, {}, {}, {}};
    meeting.record.title = "Weekly review " + std::to_string(i);
    meeting.record.venue = "Room " + std::to_string(i % 40);
    meeting.record.notes = "Figures for the quarter, the hiring plan and the office move.";
    meeting.attendees = std::vector<std::string>{"Ada", "Bo", "Cy"};
    meeting.todos = std::vector<CTodoItem>{{"Send the minutes", CTodoItem::high, 0}};
    return meeting;
}

// The store gate, timing each trip to the window's thread.
class CTimedGate : public CStoreSyncGate {
public:
    using CStoreSyncGate::CStoreSyncGate;
    std::vector<std::string> Add(const std::vector<CCalendarMeeting>& meetings) override {
        return Timed([&] { return CStoreSyncGate::Add(meetings); });
    }
    double longestMs = 0;
    std::vector<double> trips;

private:
    template <typename Work> auto Timed(Work work) {
        QElapsedTimer timer;
        timer.start();
        auto result = work();
        const double ms = timer.nsecsElapsed() / 1e6;
        trips.push_back(ms);
        longestMs = std::max(longestMs, ms);
        return result;
    }
};

struct CRun {
    CSyncSummary summary;
    double seconds = 0;
    double processor = 0;
};

CRun Sync(CSyncEngine& engine, const CDavAccount& account, const QUrl& calendar,
          const std::filesystem::path& folder, const QString& state) {
    QEventLoop loop;
    CRun run;
    QObject::connect(&engine, &CSyncEngine::syncFinished, &loop, [&](const CSyncSummary& s) {
        run.summary = s;
        loop.quit();
    });
    QElapsedTimer timer;
    timer.start();
    const double before = ProcessorSeconds();
    engine.StartSync(account, calendar, folder, state);
    loop.exec();
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.processor = ProcessorSeconds() - before;
    return run;
}

QNetworkReply* Send(QNetworkAccessManager& network, const CDavAccount& account, const QUrl& url,
                    const QByteArray& method, const QByteArray& body,
                    QList<std::pair<QByteArray, QByteArray>> headers) {
    QNetworkRequest request(url);
    request.setRawHeader("Authorization",
                         "Basic " + (account.user + u':' + account.password).toUtf8().toBase64());
    for (const auto& [name, value] : headers) {
        request.setRawHeader(name, value);
    }
    QNetworkReply* reply = network.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    return reply;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::size_t count = argc > 1 ? std::stoul(argv[1]) : 10000;
    CTempFolder home;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((home.Path() / "data").string()));
    CRadicaleServer server;
    if (!server.Start({{"ann", "secret"}})) {
        std::fprintf(stderr, "Radicale did not start\n%s\n", qPrintable(server.LogText()));
        return 1;
    }
    const QUrl synced = server.MakeCalendar("ann", "secret", "synced");
    const QUrl bare = server.MakeCalendar("ann", "secret", "bare");
    const CDavAccount account{server.BaseUrl(), "ann", "secret", {}};

    CTempFolder up;
    CTempFolder down;
    SetWorkingDirectory(up.Path());
    CMeetingStore store;
    store.AddMeetings(count, Meeting);
    CStoreSyncGate gate(store);
    CSyncEngine engine(gate);
    const CRun first = Sync(engine, account, synced, up.Path(), QString::fromStdString((home.Path() / "up.json").string()));
    std::printf("up: sync %.2f s (%d sent)\n", first.seconds, first.summary.sent);

    std::vector<QByteArray> objects;
    for (const auto& entry : store) {
        CCalendarMeeting meeting{entry.value, {}};
        meeting.content.attendees = Meeting(0).attendees;
        meeting.content.todos = Meeting(0).todos;
        objects.push_back(QByteArray::fromStdString(
            BuildMeetingObject(meeting, entry.value.id + "@tavelin.invalid")));
    }
    QNetworkAccessManager network;
    QElapsedTimer timer;
    timer.start();
    int stored = 0;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        QUrl url = bare;
        url.setPath(bare.path() + QString::number(i) + ".ics");
        QNetworkReply* reply = Send(network, account, url, "PUT", objects[i],
                                    {{"If-None-Match", "*"}, {"Content-Type", "text/calendar"}});
        stored += reply->error() == QNetworkReply::NoError;
        reply->deleteLater();
    }
    const double bareUp = timer.nsecsElapsed() / 1e9;
    std::printf("up: bare %.2f s (%d stored); ratio %.2f\n", bareUp, stored,
                first.seconds / bareUp);

    SetWorkingDirectory(down.Path());
    CMeetingStore empty;
    CTimedGate downGate(empty);
    CSyncEngine downEngine(downGate);
    const CRun fetched = Sync(downEngine, account, synced, down.Path(), QString::fromStdString((home.Path() / "down.json").string()));
    timer.restart();
    QNetworkReply* report = Send(network, account, synced, "REPORT", DavBody::SyncCollection({}),
                                 {{"Depth", "0"}, {"Content-Type", "application/xml"}});
    const qsizetype bytes = report->readAll().size();
    const double bareDown = timer.nsecsElapsed() / 1e9;
    std::printf("down: sync %.2f s (%d received); bare REPORT %.2f s (%lld bytes); ratio %.2f\n",
                fetched.seconds, fetched.summary.received, bareDown, (long long)bytes,
                fetched.seconds / bareDown);
    std::sort(downGate.trips.begin(), downGate.trips.end());
    std::printf("down: %zu trips to the window's thread, median %.1f ms, longest %.1f ms\n",
                downGate.trips.size(),
                downGate.trips.empty() ? 0.0 : downGate.trips[downGate.trips.size() / 2],
                downGate.longestMs);

    SetWorkingDirectory(up.Path());
    const CRun quiet = Sync(engine, account, synced, up.Path(), QString::fromStdString((home.Path() / "up.json").string()));
    std::printf("quiet: %d request(s), %.1f ms processor, %.1f ms wall\n", quiet.summary.requests,
                quiet.processor * 1000, quiet.seconds * 1000);
    return 0;
}
