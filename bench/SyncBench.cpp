// The sync against a real Radicale on this machine:
//   up:    the first sync of U meetings (default 1,000) to an empty calendar, against a bare
//          client sending the same objects as PUTs one after another (Radicale answers
//          HTTP/1.0 and closes each connection, and its time per PUT grows with the calendar);
//   down:  the first sync of a calendar of N objects (default 10,000, laid into the server's
//          storage folder directly) into an empty folder, against a bare client asking for
//          every object in one collection-sync REPORT; and the longest trip to the window's
//          thread;
//   quiet: syncs with nothing changed: their requests and the program's processor time.
//     sync_bench [N] [U]
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
#include <QFile>
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
                        {},
                        {},
                        {},
                        {}};
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
    std::vector<std::string> Add(const std::vector<CCalendarMeeting>& meetings,
                                 const std::unordered_set<std::string>& listed) override {
        QElapsedTimer timer;
        timer.start();
        std::vector<std::string> ids = CStoreSyncGate::Add(meetings, listed);
        const double ms = timer.nsecsElapsed() / 1e6;
        trips.push_back(ms);
        longestMs = std::max(longestMs, ms);
        return ids;
    }
    double longestMs = 0;
    std::vector<double> trips;
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
    const std::size_t upCount = argc > 2 ? std::stoul(argv[2]) : 1000;
    CTempFolder home;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((home.Path() / "data").string()));
    CRadicaleServer server;
    if (!server.Start({{"ann", "secret"}})) {
        std::fprintf(stderr, "Radicale did not start\n%s\n", qPrintable(server.LogText()));
        return 1;
    }
    const QUrl synced = server.MakeCalendar("ann", "secret", "synced");
    const QUrl seeded = server.MakeCalendar("ann", "secret", "seeded");
    const QUrl bare = server.MakeCalendar("ann", "secret", "bare");
    const CDavAccount account{server.BaseUrl(), "ann", "secret", {}};

    CTempFolder up;
    CTempFolder down;
    SetWorkingDirectory(up.Path());
    CMeetingStore store;
    store.AddMeetings(upCount, Meeting);
    CStoreSyncGate gate(store);
    CSyncEngine engine(gate);
    const CRun first = Sync(engine, account, synced, up.Path(),
                            QString::fromStdString((home.Path() / "up.json").string()));
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

    SetWorkingDirectory(up.Path());
    // The first sync after the upload still hears of the upload's own objects.
    const CRun echo = Sync(engine, account, synced, up.Path(),
                           QString::fromStdString((home.Path() / "up.json").string()));
    std::printf("echo at %zu: %d request(s), %.1f ms processor, %.1f ms wall\n", upCount,
                echo.summary.requests, echo.processor * 1000, echo.seconds * 1000);

    // The seeded calendar: N objects as files of the server's storage.
    const QString seededFolder = server.StorageFolder() + "/collection-root/ann/seeded/";
    for (std::size_t i = 0; i < count; ++i) {
        CNewMeeting made = Meeting(i);
        CCalendarMeeting meeting{made.record, {}};
        meeting.record.id = std::to_string(100000000 + i);
        meeting.content.attendees = made.attendees;
        meeting.content.todos = made.todos;
        QFile file(seededFolder + QString::number(i) + ".ics");
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray::fromStdString(
            BuildMeetingObject(meeting, meeting.record.id + "@tavelin.invalid")));
    }
    // Radicale reads new files of its storage into its cache at the first listing: once
    // untimed, so that both sides below find it warm.
    Send(network, account, seeded, "REPORT", DavBody::SyncCollection({}),
         {{"Depth", "0"}, {"Content-Type", "application/xml"}})
        ->deleteLater();
    timer.restart();
    QNetworkReply* report = Send(network, account, seeded, "REPORT", DavBody::SyncCollection({}),
                                 {{"Depth", "0"}, {"Content-Type", "application/xml"}});
    const qsizetype bytes = report->readAll().size();
    const double bareDown = timer.nsecsElapsed() / 1e9;
    SetWorkingDirectory(down.Path());
    CMeetingStore empty;
    CTimedGate downGate(empty);
    CSyncEngine downEngine(downGate);
    const QString downState = QString::fromStdString((home.Path() / "down.json").string());
    const CRun fetched = Sync(downEngine, account, seeded, down.Path(), downState);
    std::printf("down: sync %.2f s (%d received); bare REPORT %.2f s (%lld bytes); ratio %.2f\n",
                fetched.seconds, fetched.summary.received, bareDown, (long long)bytes,
                fetched.seconds / bareDown);
    std::sort(downGate.trips.begin(), downGate.trips.end());
    std::printf("down: %zu trips to the window's thread, median %.1f ms, longest %.1f ms\n",
                downGate.trips.size(),
                downGate.trips.empty() ? 0.0 : downGate.trips[downGate.trips.size() / 2],
                downGate.longestMs);
    for (const char* name : {"quiet", "quiet again"}) {
        const CRun quiet = Sync(downEngine, account, seeded, down.Path(), downState);
        std::printf("%s at %zu: %d request(s), %.1f ms processor, %.1f ms wall\n", name, count,
                    quiet.summary.requests, quiet.processor * 1000, quiet.seconds * 1000);
    }
    return 0;
}
