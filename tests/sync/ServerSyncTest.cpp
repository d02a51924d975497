#include "SyncMachine.h"
#include "sync/LocalMeetings.h"
#include "tests/support/CaldavClient.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/RadicaleServer.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

// Two computers and an outside calendar program on one real server.
class ServerSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start({{CSyncMachine::user, CSyncMachine::password}}));
        QString error;
        calendar = server.MakeCalendar(CSyncMachine::user, CSyncMachine::password, "work", &error);
        ASSERT_FALSE(calendar.isEmpty()) << error.toStdString();
        outside =
            std::make_unique<CCaldavClient>(calendar, CSyncMachine::user, CSyncMachine::password);
    }

    // What the outside program lists.
    QJsonArray Outside() {
        QJsonArray events;
        EXPECT_TRUE(outside->List(&events));
        return events;
    }

    CSyncSummary Sync(CSyncMachine& machine) {
        const CSyncSummary summary = machine.Sync(server.BaseUrl(), calendar);
        EXPECT_TRUE(summary.complete) << summary.failure.toStdString();
        return summary;
    }

    // Both folders hold the same meetings, file for file, and the outside program sees them.
    void ExpectAllEqual(const char* when) {
        const auto one = a.Meetings();
        const auto two = b.Meetings();
        ASSERT_EQ(one.size(), two.size()) << when;
        for (const auto& [title, meeting] : one) {
            ASSERT_TRUE(two.contains(title)) << when << ": " << title;
            EXPECT_EQ(MeetingDigest(meeting), MeetingDigest(two.at(title)))
                << when << ": " << title;
        }
        EXPECT_EQ(Outside().size(), qsizetype(one.size())) << when;
    }

    void TearDown() override {
        if (HasFailure()) {
            ADD_FAILURE() << "Radicale's log:\n" << server.LogText().toStdString();
        }
    }

    CRadicaleServer server;
    QUrl calendar;
    CSyncMachine a{"a"};
    CSyncMachine b{"b"};
    std::unique_ptr<CCaldavClient> outside;
};

QJsonObject EventTitled(const QJsonArray& events, const QString& summary) {
    for (const QJsonValue& event : events) {
        if (event["summary"].toString() == summary) {
            return event.toObject();
        }
    }
    return {};
}

} // namespace

// A day of edits on two computers and a phone: adds, a move, deletes, an outside recurring
// event edited here and there, and one conflict kept as two meetings.
TEST_F(ServerSyncTest, TwoFoldersAndAnOutsideClientStayEqualThroughADayOfEdits) {
    const std::string board = a.Add(SampleMeeting("Board", 3));
    const std::string lunch = a.Add(SampleMeeting("Lunch", 4));
    a.Add(SampleMeeting("Retro", 6));
    EXPECT_EQ(Sync(a).sent, 3);
    EXPECT_EQ(Sync(b).received, 3);
    ExpectAllEqual("after the first syncs");
    const QJsonObject written = EventTitled(Outside(), "Board");
    EXPECT_EQ(written["location"].toString(), "Room 3");
    EXPECT_TRUE(written["description"].toString().startsWith("Notes of Board"));

    ASSERT_TRUE(outside->Run("add-recurring", {"weekly-1", "Standup"}));
    Sync(b);
    // The outside event is edited here, its title on the phone, Lunch deleted, Board moved.
    auto inB = b.Meetings();
    ASSERT_TRUE(inB.contains("Standup"));
    const std::string standupInB = b.IdOf("Standup");
    const std::string boardInB = b.IdOf("Board");
    CCalendarMeeting moved = inB.at("Board");
    moved.record.id = boardInB;
    moved.record.date = CDateTime(2026, 12, 5, 14, 0, 0);
    b.Change(moved);
    CCalendarMeeting standup = inB.at("Standup");
    standup.record.id = standupInB;
    standup.record.notes = "Bring the figures";
    b.Change(standup);
    a.Delete(lunch);
    Sync(a);
    Sync(b);
    ASSERT_TRUE(outside->Run("edit", {"weekly-1", "summary", "Standup (room 2)"}));
    ASSERT_TRUE(outside->Run("delete", {EventTitled(Outside(), "Retro")["uid"].toString()}));
    Sync(a);
    Sync(b);
    ExpectAllEqual("after the moves and deletes");
    EXPECT_FALSE(a.Meetings().contains("Lunch"));
    EXPECT_FALSE(b.Meetings().contains("Retro"));
    EXPECT_EQ(a.Meetings().at("Board").record.date, CDateTime(2026, 12, 5, 14, 0, 0));
    EXPECT_EQ(a.Meetings().at("Standup (room 2)").record.notes, "Bring the figures");
    const QJsonObject series = EventTitled(Outside(), "Standup (room 2)");
    EXPECT_TRUE(series["rrule"].toBool()) << "a recurring series stays recurring";
    EXPECT_TRUE(series["valarm"].toBool()) << "its alarm stays";
    EXPECT_EQ(series["description"].toString(), "Bring the figures");

    // The same meeting changed on both computers: both versions are kept.
    CCalendarMeeting inA = a.Meetings().at("Board");
    inA.record.id = board;
    inA.record.venue = "Hall A";
    a.Change(inA);
    moved.record.venue = "Hall B";
    b.Change(moved);
    Sync(a);
    const CSyncSummary conflict = Sync(b);
    ASSERT_EQ(conflict.conflicts.size(), 1u);
    EXPECT_EQ(conflict.conflicts[0].localId, boardInB);
    Sync(a);
    ExpectAllEqual("after the conflict");
    EXPECT_EQ(a.Meetings().at("Board").record.venue, "Hall B");
    EXPECT_EQ(a.Meetings().at("Board (server's copy)").record.venue, "Hall A");

    // Nothing changed: one request, nothing moved.
    const CSyncSummary quiet = Sync(a);
    EXPECT_EQ(quiet.requests, 1);
    EXPECT_EQ(quiet.sent + quiet.received + quiet.deletedHere + quiet.deletedThere, 0);
}

// A change made just before the program closed is sent at its next start, which compares
// the folder with the state kept on disk; a lost sync state (a new computer, a wiped data
// folder) pairs every meeting again by its UID or its contents: no duplicates either side.
TEST_F(ServerSyncTest, ARestartSendsWhatChangedAndALostStateMakesNoDuplicates) {
    const std::string board = a.Add(SampleMeeting("Board", 3));
    a.Add(SampleMeeting("Lunch", 4));
    Sync(a);
    Sync(b);
    CCalendarMeeting changed = a.Meetings().at("Board");
    changed.record.id = board;
    changed.record.venue = "Hall A";
    a.Change(changed);
    a.Restart();
    EXPECT_EQ(Sync(a).sent, 1);
    Sync(b);
    EXPECT_EQ(b.Meetings().at("Board").record.venue, "Hall A");

    ASSERT_TRUE(QFile::remove(a.StateFile(calendar)));
    ASSERT_TRUE(QFile::remove(b.StateFile(calendar)));
    Sync(a);
    Sync(b);
    EXPECT_EQ(a.Meetings().size(), 2u);
    ExpectAllEqual("after losing the state");
}
