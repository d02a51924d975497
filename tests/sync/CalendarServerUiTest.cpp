#include "app/DesktopSecretStore.h"
#include "app/MemorySecretStore.h"
#include "app/ServerSettings.h"
#include "app/SyncStatusText.h"
#include "calendar/CalendarPage.h"
#include "calendar/MeetingListCtrl.h"
#include "store/WorkingDirectory.h"
#include "sync/SyncState.h"
#include "tests/support/CaldavClient.h"
#include "tests/support/EnvironmentScope.h"
#include "tests/support/FaultProxy.h"
#include "tests/support/FrameTest.h"
#include "tests/support/RadicaleServer.h"
#include "tests/support/TempFolder.h"
#include "ui/CommandTable.h"
#include "ui/Formatting.h"
#include <QDir>
#include <gmock/gmock.h>

#include <QDeadlineTimer>
#include <QDialog>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace {

constexpr const char* user = "ann";
constexpr const char* password = "s3cret-Horse";

// Every message the program logs during a test, to show that no password is among them.
QStringList& Logged() {
    static QStringList logged;
    return logged;
}

void KeepMessage(QtMsgType, const QMessageLogContext&, const QString& message) {
    Logged() << message;
}

bool WaitUntil(const std::function<bool()>& done, int ms = 60000) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    return done();
}

// A person at the Calendar Server dialog: the fields typed, Test, the calendar clicked.
void TypeAccount(QDialog& dialog, const QUrl& server, const QString& secret) {
    dialog.show();
    for (const auto& [name, text] :
         {std::pair{"serverEdit", server.toString()}, std::pair{"userEdit", QString(user)},
          std::pair{"passwordEdit", secret}}) {
        QLineEdit* edit = Child<QLineEdit>(dialog, name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
}

// Clicks Test and waits until the search for calendars has ended; the calendars listed.
QListWidget* TestAccount(QDialog& dialog) {
    auto* message = Child<QLabel>(dialog, "serverMessage");
    Click(Child<QPushButton>(dialog, "testButton"));
    EXPECT_TRUE(WaitUntil([message] { return message->text() != "Looking for calendars..."; }));
    return Child<QListWidget>(dialog, "calendarList");
}

bool PickCalendar(QListWidget* list, const QString& name) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    if (found.size() != 1) {
        return false;
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.first()).center());
    return list->currentItem() == found.first();
}

class CalendarServerUiTest : public CFrameTest {
protected:
    void SetUp() override {
        CFrameTest::SetUp();
        Logged().clear();
        previousHandler = qInstallMessageHandler(KeepMessage);
    }
    void TearDown() override {
        CFrameTest::TearDown();
        qInstallMessageHandler(previousHandler);
    }

    ::testing::AssertionResult StartServer(CRadicaleServer::EScheme scheme) {
        if (auto started = server.Start({{user, password}}, scheme); !started) {
            return started;
        }
        // "work" lies between two others whichever way the server sorts them.
        QString error;
        server.MakeCalendar(user, password, "archive", &error);
        calendar = server.MakeCalendar(user, password, "work", &error);
        server.MakeCalendar(user, password, "zeta", &error);
        return calendar.isEmpty() ? ::testing::AssertionFailure() << error.toStdString()
                                  : ::testing::AssertionSuccess();
    }

    // A server with a fault proxy in front, connected through it as OK would leave it.
    ::testing::AssertionResult ConnectThrough(CFaultProxy& proxy) {
        if (auto started = StartServer(CRadicaleServer::EScheme::Http); !started) {
            return started;
        }
        if (auto started = proxy.Start(server.Port()); !started) {
            return started;
        }
        QUrl through = calendar;
        through.setPort(proxy.Port());
        CServerSettings{proxy.BaseUrl(), user, through, "work", {}, ThisFolder()}.Save();
        secrets.Store(proxy.BaseUrl(), user, password);
        return ::testing::AssertionSuccess();
    }

    // The window, its secrets kept by the test; `activate` waits for it to be the active one,
    // which lets the sync at start run meanwhile.
    CMainFrame& Frame(bool activate = true) {
        CMainFrame& made = MakeFrame();
        made.GetSyncCommands().UseSecretStore(secrets);
        if (activate) {
            Activate(made);
        }
        return made;
    }

    // Runs `action` and waits for the sync it starts to end.
    void SyncBy(const std::function<void()>& action) {
        QSignalSpy ended(&frame->GetSyncCommands(), &CSyncCommands::syncEnded);
        action();
        ASSERT_TRUE(ended.wait(90000)) << StatusText().toStdString();
    }
    void PressSyncNow() {
        Activate(*frame);
        FocusOn(frame->GetCalendarPage());
        SyncBy([] { Press(Qt::Key_F9); });
    }
    void OpenServerDialog() { frame->GetAction(CommandId::calendarServer)->trigger(); }

    static QString ThisFolder() {
        return QDir(QString::fromStdString(GetWorkingDirectory().string())).canonicalPath();
    }
    QString StatusText() const { return frame->GetSyncCommands().StatusLine()->text(); }
    QString SyncedNow() const {
        return QStringLiteral("Synced at ") + FormatTime(TestServices().Now());
    }

    // The titles of the events on the server, as another calendar program reads them.
    QStringList ServerTitles() const {
        QJsonArray events;
        EXPECT_TRUE(CCaldavClient(calendar, user, password).List(&events));
        QStringList titles;
        for (const QJsonValue& event : events) {
            titles << event[QStringLiteral("summary")].toString();
        }
        titles.sort();
        return titles;
    }

    // The dialog played as a person: the account typed, Test, "work" picked, OK.
    void ConnectThroughDialog(const QUrl& address) {
        TestServices().SetDialogScript(
            QStringLiteral("calendarServerDialog"), [address](QDialog& dialog) {
                TypeAccount(dialog, address, password);
                EXPECT_TRUE(PickCalendar(TestAccount(dialog), QStringLiteral("work")));
                Click(Child<QPushButton>(dialog, "okButton"));
                return dialog.result();
            });
        SyncBy([this] { OpenServerDialog(); });
    }

    // Whether an event with this title lies in the server's storage folder.
    bool ServerStores(const QString& title) const {
        QDirIterator files(server.StorageFolder(), {QStringLiteral("*.ics")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            if (Contents(files.next()).contains("SUMMARY:" + title.toUtf8())) {
                return true;
            }
        }
        return false;
    }

    void ExpectNoPasswordAnywhere() {
        const QByteArray settings = Contents(SettingsFile());
        EXPECT_TRUE(settings.contains("CalendarServer")) << settings.toStdString();
        EXPECT_FALSE(settings.contains(password)) << settings.toStdString();
        for (const QString& text : Logged() + TestServices().Shown()) {
            EXPECT_FALSE(text.contains(QLatin1String(password))) << text.toStdString();
        }
    }

    CRadicaleServer server;
    QUrl calendar;
    CMemorySecretStore secrets;
    QtMessageHandler previousHandler = nullptr;
};

// Connect, pick a calendar, OK, Sync Now: the meeting is on the server, the line says when,
// and the password is in the secret store alone: not in the settings, a log or a message. A
// meeting then changed here and on the server: the line counts the conflict, a click lists both
// versions, and Open shows the server's copy in the preview. Another folder opened later is not
// poured into the same calendar.
TEST_F(CalendarServerUiTest, ConnectPickSyncNowAndAConflictListedAndOpened) {
    ASSERT_TRUE(StartServer(CRadicaleServer::EScheme::Http));
    StoreMeeting("20261201093000", "Budget review", CDateTime(2026, 12, 1, 9, 30, 0));
    Frame();
    ConnectThroughDialog(server.BaseUrl());
    EXPECT_EQ(ServerTitles(), QStringList{"Budget review"});

    StoreMeeting("20261202100000", "Board meeting", CDateTime(2026, 12, 2, 10, 0, 0));
    PressSyncNow();
    EXPECT_EQ(StatusText(), SyncedNow());
    EXPECT_EQ(ServerTitles(), (QStringList{"Board meeting", "Budget review"}));
    EXPECT_EQ(secrets.Find(server.BaseUrl(), user), std::optional<QString>(password));
    ExpectNoPasswordAnywhere();

    StoreMeeting("20261201093000", "Budget review here", CDateTime(2026, 12, 1, 9, 30, 0));
    ASSERT_TRUE(
        CCaldavClient(calendar, user, password)
            .Run("edit", {"20261201093000@tavelin.invalid", "summary", "Budget review there"}));
    frame->GetCalendarPage().ShowMode(CCalendarPage::agendaMode);
    frame->GetCalendarPage().GoToDate(CDateTime(2026, 12, 1, 9, 30, 0));
    const int listed = frame->GetCalendarPage().GetMeetingList().GetRowCount();
    PressSyncNow();
    EXPECT_EQ(StatusText(), SyncedNow() + ", 1 conflict: both versions kept");
    EXPECT_EQ(frame->GetCalendarPage().GetMeetingList().GetRowCount(), listed + 1);

    std::string opened;
    TestServices().SetDialogScript(QStringLiteral("syncConflictsDialog"), [&](QDialog& d) {
        d.show();
        auto* list = Child<QTreeWidget>(d, "conflictList");
        EXPECT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->topLevelItem(0)->text(0), "Budget review here");
        EXPECT_EQ(list->topLevelItem(1)->text(2), "The server's version, kept as a copy");
        for (auto* button : d.findChildren<QPushButton*>()) {
            if (button->objectName().startsWith("open_") &&
                button->objectName() != "open_20261201093000") {
                opened = button->objectName().mid(5).toStdString();
                Click(button);
            }
        }
        return d.result();
    });
    QTest::mouseClick(frame->GetSyncCommands().StatusLine(), Qt::LeftButton);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(frame->GetCalendarPage().GetMode(), CCalendarPage::previewMode);
    EXPECT_EQ(frame->GetCalendarPage().GetShownMeetingId(), opened);
    EXPECT_EQ(TestStore().GetMeeting(opened).title.find("Budget review there"), 0u);

    const std::filesystem::path connected = GetWorkingDirectory();
    CTempFolder other;
    SetWorkingDirectory(other.Path());
    Activate(*frame);
    FocusOn(frame->GetCalendarPage());
    Press(Qt::Key_F9);
    EXPECT_THAT(StatusText().toStdString(), ::testing::HasSubstr("another folder"));
    SetWorkingDirectory(connected);
}

// A 401 in the middle of a sync asks for the password once; the sync then goes on with it.
// A server that keeps refusing is asked no more: the line says so, as it says when the server
// cannot be reached at all.
TEST_F(CalendarServerUiTest, RefusedPasswordIsAskedAgainOnce) {
    CFaultProxy proxy;
    ASSERT_TRUE(ConnectThrough(proxy));
    StoreMeeting("20261201093000", "Budget review", CDateTime(2026, 12, 1, 9, 30, 0));
    int asked = 0;
    TestServices().SetDialogScript(QStringLiteral("passwordDialog"), [&](QDialog& dialog) {
        ++asked;
        proxy.PassThrough();
        dialog.show();
        QTest::keyClicks(dialog.findChild<QLineEdit*>(), password);
        QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Return);
        return dialog.result();
    });
    proxy.SetFault({EFault::Status, 401}, 2);
    Frame(false);
    SyncBy([] {}); // the sync at start, refused halfway
    if (StatusText() != SyncedNow()) {
        SyncBy([] {}); // the sync again with the password given
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(StatusText(), SyncedNow());
    EXPECT_EQ(ServerTitles(), QStringList{"Budget review"});

    proxy.SetFault({EFault::Status, 401});
    TestServices().SetDialogScript(QStringLiteral("passwordDialog"), [&](QDialog& dialog) {
        ++asked;
        dialog.findChild<QLineEdit*>()->setText(QStringLiteral("still wrong"));
        dialog.accept();
        return dialog.result();
    });
    PressSyncNow();
    WaitUntil([this] { return StatusText().contains("refused"); });
    QTest::qWait(300);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(StatusText(), "Not synced: the server refused the user name or password");
    ExpectNoPasswordAnywhere();

    proxy.SetFault({EFault::Refuse});
    PressSyncNow();
    EXPECT_EQ(StatusText(), "Offline: changes will be sent later");
    EXPECT_EQ(asked, 2);
}

// A disconnect while a sync waits for the server: the sync's end brings no state file back.
TEST_F(CalendarServerUiTest, DisconnectDuringASyncLeavesNoState) {
    CFaultProxy proxy;
    ASSERT_TRUE(ConnectThrough(proxy));
    proxy.SetFault({EFault::Delay, 5000});
    TestServices().SetDialogScript(QStringLiteral("calendarServerDialog"), [](QDialog& d) {
        TestServices().ScriptAnswers({true});
        d.show();
        Click(Child<QPushButton>(d, "disconnectButton"));
        return d.result();
    });
    Frame(false);
    // The sync at start is held at its first request when the dialog opens.
    SyncBy([this] { QTimer::singleShot(200, frame.get(), [this] { OpenServerDialog(); }); });
    QUrl through = calendar;
    through.setPort(proxy.Port());
    EXPECT_FALSE(QFile::exists(
        CSyncState::FileFor(QString::fromStdString(Folder().string()), through.toString(), user)));
}

// An https server with a certificate of its own making: its host and fingerprint are shown,
// Refuse lists nothing, Trust lists the calendars, OK keeps the fingerprint for this server,
// and the syncs go through.
TEST_F(CalendarServerUiTest, UnknownCertificateIsShownAndTrustedOnlyWhenSaid) {
    ASSERT_TRUE(StartServer(CRadicaleServer::EScheme::Https));
    const QByteArray fingerprint =
        QSslCertificate(server.CertificatePem()).digest(QCryptographicHash::Sha256).toHex();
    StoreMeeting("20261201093000", "Budget review", CDateTime(2026, 12, 1, 9, 30, 0));
    Frame();
    const QUrl address = server.BaseUrl();
    TestServices().SetDialogScript(QStringLiteral("calendarServerDialog"), [&](QDialog& d) {
        TypeAccount(d, address, password);
        TestServices().ScriptAnswers({false});
        EXPECT_EQ(TestAccount(d)->count(), 0);
        EXPECT_EQ(Child<QLabel>(d, "serverMessage")->text(),
                  "The server's certificate was refused.");
        TestServices().ScriptAnswers({true});
        EXPECT_TRUE(PickCalendar(TestAccount(d), QStringLiteral("work")))
            << Child<QLabel>(d, "serverMessage")->text().toStdString();
        EXPECT_EQ(TestServices().ShownAs(CScriptedServices::Kind::question).size(), 1);
        Click(Child<QPushButton>(d, "okButton"));
        return d.result();
    });
    SyncBy([this] { OpenServerDialog(); });
    const QString question = TestServices().Shown().value(0);
    EXPECT_TRUE(question.contains("127.0.0.1")) << question.toStdString();
    EXPECT_TRUE(question.contains(FingerprintText(fingerprint))) << question.toStdString();
    EXPECT_TRUE(Contents(SettingsFile()).contains(fingerprint));
    EXPECT_EQ(StatusText(), SyncedNow());
    EXPECT_TRUE(ServerStores("Budget review"));
}

// A calendar made in the dialog is the one synced with. Disconnect forgets the account, the
// password and the sync state; the meetings stay.
TEST_F(CalendarServerUiTest, NewCalendarIsSyncedAndDisconnectForgetsAccountAndState) {
    ASSERT_TRUE(StartServer(CRadicaleServer::EScheme::Http));
    StoreMeeting("20261201093000", "Budget review", CDateTime(2026, 12, 1, 9, 30, 0));
    Frame();
    const QUrl address = server.BaseUrl();
    TestServices().SetDialogScript(QStringLiteral("calendarNameDialog"), [](QDialog& ask) {
        ask.show();
        QTest::keyClicks(ask.findChild<QLineEdit*>(), "Board");
        QTest::keyClick(ask.findChild<QLineEdit*>(), Qt::Key_Return);
        return ask.result();
    });
    TestServices().SetDialogScript(QStringLiteral("calendarServerDialog"), [address](QDialog& d) {
        TypeAccount(d, address, password);
        QListWidget* list = TestAccount(d);
        Click(Child<QPushButton>(d, "newCalendarButton"));
        EXPECT_TRUE(WaitUntil([list] { return list->count() == 4; }));
        EXPECT_EQ(list->currentItem()->text(), "Board");
        Click(Child<QPushButton>(d, "okButton"));
        return d.result();
    });
    SyncBy([this] { OpenServerDialog(); });
    calendar = CServerSettings::Load().calendar;
    EXPECT_EQ(ServerTitles(), QStringList{"Budget review"});
    const QString state =
        CSyncState::FileFor(QString::fromStdString(Folder().string()), calendar.toString(), user);
    ASSERT_TRUE(QFile::exists(state));
    const std::string meetingFile = FileBytes(Folder() / "meeting20261201093000.mtg");

    TestServices().SetDialogScript(QStringLiteral("calendarServerDialog"), [](QDialog& d) {
        TestServices().ScriptAnswers({true});
        d.show();
        Click(Child<QPushButton>(d, "disconnectButton"));
        return d.result();
    });
    OpenServerDialog();
    EXPECT_FALSE(QFile::exists(state));
    EXPECT_FALSE(Contents(SettingsFile()).contains("CalendarServer"))
        << Contents(SettingsFile()).toStdString();
    EXPECT_FALSE(secrets.Find(server.BaseUrl(), user).has_value());
    EXPECT_EQ(FileBytes(Folder() / "meeting20261201093000.mtg"), meetingFile);
    EXPECT_FALSE(meetingFile.empty());
    EXPECT_EQ(ServerTitles(), QStringList{"Budget review"});
}

// Where no secret service answers, the password is kept in this run's memory.
TEST(DesktopSecretStoreTest, WithoutASecretServiceThePasswordStaysInMemory) {
    const CEnvironmentScope bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    CDesktopSecretStore secrets;
    const QUrl server(QStringLiteral("https://cloud.example.org/"));
    EXPECT_FALSE(secrets.Find(server, user).has_value());
    secrets.Store(server, user, password);
    EXPECT_TRUE(secrets.UsesMemory());
    EXPECT_EQ(secrets.Find(server, user), std::optional<QString>(password));
    secrets.Forget(server, user);
    EXPECT_FALSE(secrets.Find(server, user).has_value());
}

// The lines the window's tests do not reach, which failures are tried again by themselves,
// and the pauses between the tries.
TEST(SyncStatusTextTest, FailuresHaveTheirLineAndRetriesBackOff) {
    const auto summary = [](int status, const char* failure, const char* certificate = "") {
        CSyncSummary made;
        made.status = status;
        made.failure = QString::fromLatin1(failure);
        made.refusedCertificate = certificate;
        return made;
    };
    EXPECT_EQ(SyncStatusText(summary(0, "untrusted", "ab"), "10:30", 0),
              "Not synced: the server's certificate is not trusted (Tools > Calendar Server...)");
    EXPECT_EQ(SyncStatusText(summary(404, "The calendar is gone."), "10:30", 2),
              "Not synced: The calendar is gone., 2 conflicts: both versions kept");
    EXPECT_TRUE(RetriesByItself(SyncOutcome(summary(0, "Time-out"))));
    EXPECT_TRUE(RetriesByItself(SyncOutcome(summary(503, "Busy"))));
    EXPECT_FALSE(RetriesByItself(SyncOutcome(summary(404, "Gone"))));
    for (const auto& [failures, seconds] : {std::pair{1, 30}, {2, 60}, {5, 300}, {40, 300}}) {
        EXPECT_EQ(RetryDelaySeconds(failures), seconds) << failures;
    }
}

} // namespace
