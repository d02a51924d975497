#include "SyncMachine.h"
#include "tests/support/CaldavClient.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/RadicaleServer.h"
#include <QSslCertificate>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

namespace {

class ServerFailuresTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start({{CSyncMachine::user, CSyncMachine::password}}));
        calendar = server.MakeCalendar(CSyncMachine::user, CSyncMachine::password, "work");
        ASSERT_FALSE(calendar.isEmpty());
        ASSERT_TRUE(proxy.Start(server.Port()));
    }

    void TearDown() override {
        if (HasFailure()) {
            ADD_FAILURE() << "Radicale's log:\n" << server.LogText().toStdString();
        }
    }

    CRadicaleServer server;
    CFaultProxy proxy;
    QUrl calendar;
    CSyncMachine a{"a"};
    CSyncMachine b{"b"};
};

} // namespace

// Whatever goes wrong, the sync stops with a reason, and the next one carries over both the
// change made here and the one made there: nothing is lost, nothing doubled.
TEST_F(ServerFailuresTest, NoFailureLosesAChange) {
    struct Row {
        const char* name;
        SFault fault;
        int fromRequest;
        const char* says;
        CDavLimits limits;
        int cancelAfterMs = -1;
        bool failWrite = false;
    };
    const CDavLimits quick{500, 256LL << 20, 5};
    const CDavLimits small{30000, 1LL << 20, 5};
    const Row rows[] = {
        {"refused", {EFault::Refuse}, 1, "refused the connection", {}},
        {"dropped", {EFault::Drop}, 1, "connection", {}},
        {"slow", {EFault::Delay, 3000}, 1, "in time", quick},
        {"wrong password", {EFault::Status, 401}, 1, "user name or password", {}},
        {"forbidden", {EFault::Status, 403}, 1, "does not let this account", {}},
        {"calendar gone", {EFault::Status, 404}, 1, "gone from the server", {}},
        {"server error", {EFault::Status, 500}, 1, "HTTP 500", {}},
        {"full", {EFault::Status, 507}, 1, "no room left", {}},
        {"cut answer", {EFault::Cut}, 1, "", {}},
        {"redirect loop", {EFault::RedirectLoop}, 1, "round in circles", {}},
        {"huge answer", {EFault::Huge, 3}, 1, "larger than 1 MB", small},
        {"stops mid-sync", {EFault::Drop}, 3, "connection", {}},
        {"refused write", {EFault::Status, 500}, 2, "HTTP 500", {}},
        {"changed there meanwhile", {EFault::Status, 412}, 2, "", {}},
        {"cancelled", {EFault::Delay, 3000}, 1, "Cancelled", {}, 300},
        {"a write here fails", {}, 1, "No space left", {}, -1, true},
    };
    int round = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ++round;
        for (int i = 0; i < 3; ++i) {
            a.Add(SampleMeeting("Here " + std::to_string(round) + "." + std::to_string(i), 1 + i));
        }
        b.Add(SampleMeeting("There " + std::to_string(round), 10));
        ASSERT_TRUE(b.Sync(server.BaseUrl(), calendar).complete);
        const std::size_t before = a.Meetings().size();

        proxy.SetFault(row.fault, row.fromRequest);
        a.CancelAfter(row.cancelAfterMs);
        if (row.failWrite) {
            a.FailNextWrite();
        }
        const CSyncSummary failed = a.Sync(proxy.BaseUrl(), calendar, row.limits);
        proxy.PassThrough();
        EXPECT_FALSE(failed.complete);
        EXPECT_THAT(failed.failure.toStdString(), HasSubstr(row.says));
        if (row.fault.value == 404) {
            EXPECT_EQ(a.Meetings().size(), before) << "a calendar gone changes nothing here";
        }
        const CSyncSummary next = a.Sync(server.BaseUrl(), calendar);
        ASSERT_TRUE(next.complete) << next.failure.toStdString();
        ASSERT_TRUE(b.Sync(server.BaseUrl(), calendar).complete);
        EXPECT_EQ(a.Meetings().size(), b.Meetings().size());
        EXPECT_TRUE(a.Meetings().contains("There " + std::to_string(round)));
        EXPECT_TRUE(b.Meetings().contains("Here " + std::to_string(round) + ".2"));
    }
    EXPECT_EQ(a.Meetings().size(), std::size(rows) * 4);
}

// An https server whose certificate nobody vouches for is refused, and its fingerprint handed
// on; once the user trusts that fingerprint, the sync goes through.
TEST(ServerCertificateTest, AnUnknownCertificateIsRefusedUntilTrusted) {
    CRadicaleServer server;
    ASSERT_TRUE(server.Start({{CSyncMachine::user, CSyncMachine::password}},
                             CRadicaleServer::EScheme::Https));
    const QUrl calendar = server.MakeCalendar(CSyncMachine::user, CSyncMachine::password, "work");
    ASSERT_FALSE(calendar.isEmpty());
    CSyncMachine a{"a"};
    a.Add(SampleMeeting("Board", 3));
    const CSyncSummary refused = a.Sync(server.BaseUrl(), calendar);
    const QByteArray fingerprint =
        QSslCertificate(server.CertificatePem()).digest(QCryptographicHash::Sha256).toHex();
    EXPECT_FALSE(refused.complete);
    EXPECT_EQ(refused.refusedCertificate, fingerprint);
    EXPECT_EQ(refused.sent, 0);
    // A redirect from https to plain http would carry the password in the clear.
    CFaultProxy redirector;
    ASSERT_TRUE(redirector.Start(server.Port(), server.CertificateFile(), server.KeyFile()));
    redirector.SetFault({EFault::Redirect, 0, QUrl("http://127.0.0.1:9/")});
    const CSyncSummary downgraded = a.Sync(redirector.BaseUrl(), calendar, {}, fingerprint);
    EXPECT_THAT(downgraded.failure.toStdString(), HasSubstr("plain http"));
    const CSyncSummary trusted = a.Sync(server.BaseUrl(), calendar, {}, fingerprint);
    EXPECT_TRUE(trusted.complete) << trusted.failure.toStdString();
    EXPECT_EQ(trusted.sent, 1);
}
