#include "SyncMachine.h"

#include "store/DateTime.h"
#include "store/TakenIds.h"
#include "store/WorkingDirectory.h"
#include "sync/LocalMeetings.h"
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

CSyncMachine::CSyncMachine(const QString& name) : m_name(name) {}

CMeetingStore& CSyncMachine::Store() {
    if (GetWorkingDirectory() != m_folder.Path()) {
        SetWorkingDirectory(m_folder.Path());
        m_store.LoadAll();
    }
    return m_store;
}

std::string CSyncMachine::Add(const CCalendarMeeting& meeting) {
    Store();
    return m_gate.Add({meeting}, TakenMeetingIds(m_folder.Path())).front();
}

void CSyncMachine::Change(const CCalendarMeeting& meeting) {
    Store();
    m_gate.Change(meeting);
}

void CSyncMachine::Delete(const std::string& id) {
    Store();
    m_gate.Delete(id);
}

QString CSyncMachine::StateFile(const QUrl& calendar) const {
    return CSyncState::FileFor(QString::fromStdString(m_folder.Path().string()),
                               calendar.toString(), QString::fromLatin1(user));
}

CSyncSummary CSyncMachine::Sync(const QUrl& server, const QUrl& calendar, const CDavLimits& limits,
                                const QByteArray& trustedCertificate) {
    Store();
    QUrl through = calendar;
    through.setPort(server.port());
    QSignalSpy finished(&*m_engine, &CSyncEngine::syncFinished);
    const CDavAccount account{server, QString::fromLatin1(user), QString::fromLatin1(password),
                              trustedCertificate};
    EXPECT_TRUE(
        m_engine->StartSync(account, through, m_folder.Path(), StateFile(calendar), limits));
    if (m_cancelAfterMs >= 0) {
        QTimer::singleShot(m_cancelAfterMs, &*m_engine, [this] { m_engine->Cancel(); });
        m_cancelAfterMs = -1;
    }
    EXPECT_TRUE(finished.wait(120000)) << m_name.toStdString() << ": the sync did not end";
    return finished.isEmpty() ? CSyncSummary{} : finished.first().first().value<CSyncSummary>();
}

std::map<std::string, CCalendarMeeting> CSyncMachine::Meetings() const {
    std::map<std::string, CCalendarMeeting> found;
    std::atomic<bool> cancelled{false};
    for (const auto& [id, local] : ScanLocalMeetings(m_folder.Path(), {}, cancelled)) {
        std::optional<CCalendarMeeting> meeting = ReadLocalMeeting(m_folder.Path(), id);
        if (meeting) {
            meeting->record.id.clear();
            const std::string title = meeting->record.title;
            EXPECT_TRUE(found.emplace(title, std::move(*meeting)).second)
                << m_name.toStdString() << " holds \"" << title << "\" twice";
        }
    }
    return found;
}

std::string CSyncMachine::IdOf(const std::string& title) const {
    std::atomic<bool> cancelled{false};
    for (const auto& [id, local] : ScanLocalMeetings(m_folder.Path(), {}, cancelled)) {
        const std::optional<CCalendarMeeting> meeting = ReadLocalMeeting(m_folder.Path(), id);
        if (meeting && meeting->record.title == title) {
            return id;
        }
    }
    return {};
}

CCalendarMeeting SampleMeeting(const std::string& title, int day) {
    CCalendarMeeting meeting{CMeeting(CDateTime(2026, 12, day, 9, 30, 0)), {}};
    meeting.record.title = title;
    meeting.record.venue = "Room " + std::to_string(day);
    meeting.record.notes = "Notes of " + title + ", first; \\n\r\nsecond line";
    meeting.record.presidedBy = "Ada";
    meeting.record.icon = day % 72;
    meeting.content.attendees = std::vector<std::string>{"Ada", "Bo"};
    meeting.content.agenda =
        std::vector<CAgendaItem>{{CDateTime(2026, 12, day, 9, 45, 0), "Start"}};
    meeting.content.todos = std::vector<CTodoItem>{{"Write it up", CTodoItem::high, 0}};
    return meeting;
}
