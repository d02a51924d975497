#include "app/CalendarSharing.h"
#include "app/RightListView.h"
#include "calendar/CalendarPage.h"
#include "export/MeetingPreviewList.h"
#include "store/WorkingDirectory.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/FrameTest.h"
#include "tests/support/TempFolder.h"
#include "ui/CommandTable.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <filesystem>
#include <stop_token>

#include <sys/stat.h>

namespace {
// Two meetings, one of them recurring, and an entry without a start, as other calendars
// write them.
const char* const twoMeetings =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//Calendar//EN\r\n"
    "BEGIN:VEVENT\r\nUID:one@example.org\r\nDTSTAMP:20261101T080000Z\r\n"
    "DTSTART:20261203T100000\r\nSUMMARY:Board meeting\r\nLOCATION:Room 4\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:two@example.org\r\nDTSTAMP:20261101T080000Z\r\n"
    "DTSTART:20261210T090000\r\nRRULE:FREQ=WEEKLY;COUNT=4\r\nSUMMARY:Stand-up\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:three@example.org\r\nDTSTAMP:20261101T080000Z\r\n"
    "SUMMARY:Someday\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

const char* const broken = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVE";

class CalendarSharingTest : public CFrameTest {
protected:
    QString WriteFile(const char* name, const char* text) const {
        const QString path = PathOf(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    static int EventCount(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count("BEGIN:VEVENT")) : -1;
    }

    QStringList StoredTitles() const {
        QStringList titles;
        for (const CMeetingMap::Entry& entry : TestStore().GetMap()) {
            titles << QString::fromStdString(entry.value.title);
        }
        titles.sort();
        return titles;
    }

    QAction* MenuAction(const char* menu, int command) const {
        auto* shown = frame->menuBar()->findChild<QMenu*>(QString::fromLatin1(menu));
        QAction* action = frame->GetAction(command);
        return shown != nullptr && shown->actions().contains(action) ? action : nullptr;
    }

    // Drags the files onto the window and drops them there if it takes them.
    bool Drop(const QStringList& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files) {
            urls << QUrl::fromLocalFile(file);
        }
        data.setUrls(urls);
        const QPoint at = frame->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        return enter.isAccepted() && QApplication::sendEvent(frame.get(), &drop);
    }
};

} // namespace

TEST_F(CalendarSharingTest, ImportFromTheFileMenuAddsMeetingsAndSummarisesTheRest) {
    CMainFrame& main = MakeFrame();
    QAction* import = MenuAction("fileMenu", CommandId::importCalendar);
    ASSERT_NE(import, nullptr) << "File > Import...";
    EXPECT_FALSE(frame->GetAction(CommandId::exportAllCalendar)->isEnabled()) << "no meetings";

    import->trigger();
    EXPECT_TRUE(TestStore().GetMap().IsEmpty()) << "a cancelled picker imports nothing";
    EXPECT_TRUE(TestServices().Shown().isEmpty());

    TestServices().SetOpenFiles({WriteFile("other.ics", twoMeetings)});
    import->trigger();
    EXPECT_EQ(StoredTitles(), (QStringList{"Board meeting", "Stand-up"}));
    ASSERT_EQ(TestServices().ShownAs(CScriptedServices::Kind::notice),
              QStringList{"Added 2 meetings.\n1 entry was skipped.\n"
                          "1 recurring event was imported as its first occurrence only.\n"
                          "Show Details says which and why."})
        << "what was left out is said up front, not only in the details";
    const QString details = TestServices().NoticeDetails().value(0);
    EXPECT_TRUE(details.contains(QStringLiteral("Skipped \u201cSomeday\u201d: It has no start")) &&
                details.contains(QStringLiteral("\u201cStand-up\u201d: A recurring event")))
        << details.toStdString();
    EXPECT_EQ(main.GetCalendarPage().GetSelectedDate().GetDay(), 3)
        << "the calendar turns to the first meeting added";
    EXPECT_TRUE(frame->GetAction(CommandId::exportAllCalendar)->isEnabled());

    // Dropped on the window: a drag without an iCalendar file is refused.
    const QString text = WriteFile("notes.txt", "hello");
    EXPECT_FALSE(Drop({text}));
    EXPECT_TRUE(Drop({text, WriteFile("Other.ICS", twoMeetings)}));
    EXPECT_EQ(TestStore().GetCount(), 4u);
    EXPECT_EQ(TestServices().ShownAs(CScriptedServices::Kind::notice).size(), 2);
}

// A file that cannot be parsed, or read, adds nothing and is named with the reason; the good
// file picked with it is still imported. Meetings that cannot be written are an error, not a
// summary of nothing.
TEST_F(CalendarSharingTest, ABrokenOrMissingFileAddsNothingAndIsNamed) {
    MakeFrame();
    const QString bad = WriteFile("broken.ics", broken);
    TestServices().SetOpenFiles({bad});
    frame->OnCommand(CommandId::importCalendar);
    EXPECT_TRUE(TestStore().GetMap().IsEmpty());
    QStringList errors = TestServices().ShownAs(CScriptedServices::Kind::error);
    ASSERT_EQ(errors.size(), 1) << TestServices().Shown().join('|').toStdString();
    EXPECT_TRUE(errors[0].contains(bad) && errors[0].contains("could not be imported"));
    EXPECT_FALSE(errors[0].contains("Added")) << "no summary claiming success alone";

    // Neither a pipe nor a device in a file's place can hold the import up or feed it without
    // end.
    TestServices().ScriptAnswers({});
    const QString missing = PathOf("gone.ics");
    const QString fifo = PathOf("pipe.ics");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = PathOf("zero.ics");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    TestServices().SetOpenFiles({bad, WriteFile("good.ics", twoMeetings), missing, fifo, zero});
    frame->OnCommand(CommandId::importCalendar);
    EXPECT_EQ(TestStore().GetMap().GetCount(), 2u);
    const QStringList notices = TestServices().ShownAs(CScriptedServices::Kind::notice);
    ASSERT_EQ(notices.size(), 1) << TestServices().Shown().join('|').toStdString();
    EXPECT_TRUE(notices[0].startsWith("Added 2 meetings.") && notices[0].contains(bad) &&
                notices[0].contains(missing))
        << notices[0].toStdString();
    EXPECT_EQ(notices[0].count(QStringLiteral("it is not a regular file")), 2);

    TestServices().ScriptAnswers({});
    TestServices().SetOpenFiles({PathOf("good.ics")});
    {
        CFailingScope<CNoWriteCalls> noWrite;
        frame->OnCommand(CommandId::importCalendar);
    }
    EXPECT_EQ(TestStore().GetMap().GetCount(), 2u);
    errors = TestServices().ShownAs(CScriptedServices::Kind::error);
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.value(0).contains("could not be written")) << errors.value(0).toStdString();
}

// The month runs from its first second to the next month's, December into January too.
TEST_F(CalendarSharingTest, ExportCommandsWriteTheirMeetingsAndNeedATarget) {
    StoreMeeting("2026120109000010", "First", CDateTime(2026, 12, 1, 0, 0, 0));
    const std::string last = "2026123123000010";
    StoreMeeting(last, "Last", CDateTime(2026, 12, 31, 23, 59, 0));
    StoreMeeting("2027010100000010", "New year", CDateTime(2027, 1, 1, 0, 0, 0));
    StoreMeeting("2026113023000010", "November", CDateTime(2026, 11, 30, 23, 59, 59));
    CMainFrame& main = MakeFrame();
    CCalendarPage& page = main.GetCalendarPage();
    EXPECT_FALSE(main.GetAction(CommandId::exportMeetingCalendar)->isEnabled()) << "no preview";

    page.GoToDate(CDateTime(2027, 2, 10, 0, 0, 0));
    main.UpdateCommandStates();
    EXPECT_FALSE(main.GetAction(CommandId::exportMonthCalendar)->isEnabled()) << "empty month";
    page.GoToDate(CDateTime(2026, 12, 10, 0, 0, 0));
    main.UpdateCommandStates();
    ASSERT_TRUE(main.GetAction(CommandId::exportMonthCalendar)->isEnabled());

    TestServices().SetSaveFile(PathOf("december"));
    main.OnCommand(CommandId::exportMonthCalendar);
    EXPECT_EQ(TestServices().ProposedSaveNames().value(0), QStringLiteral("Meetings 2026-12.ics"));
    EXPECT_EQ(EventCount(PathOf("december.ics")), 2) << "1 and 31 December only";
    TestServices().SetSaveFile(PathOf("all.ics"));
    main.OnCommand(CommandId::exportAllCalendar);
    EXPECT_EQ(EventCount(PathOf("all.ics")), 4);

    main.ViewMeeting(last);
    ASSERT_TRUE(main.GetAction(CommandId::exportMeetingCalendar)->isEnabled());
    TestServices().SetSaveFile(PathOf("last"));
    main.OnCommand(CommandId::exportMeetingCalendar);
    EXPECT_EQ(EventCount(PathOf("last.ics")), 1);
    EXPECT_TRUE(TestServices().Shown().isEmpty()) << TestServices().Shown().join('|').toStdString();

    // A previewed meeting that has gone is no target.
    TestStore().DeleteMeeting(last);
    main.UpdateCommandStates();
    EXPECT_FALSE(main.GetAction(CommandId::exportPdf)->isEnabled());
}

// Ctrl+P prints the previewed meeting while the focus is in the calendar, never from another
// pane; the quick view pane's export item offers the iCalendar file from its menu key.
TEST_F(CalendarSharingTest, CtrlPInThePreviewPrintsAndTheQuickViewPaneExportsICalendar) {
    const std::string id =
        StoreMeeting("2026120109000010", "Budget", CDateTime(2026, 12, 1, 9, 0, 0)).id;
    CMainFrame& main = MakeFrame();
    Activate(main);
    main.ViewMeeting(id);
    int printDialogs = 0;
    TestServices().SetDialogScript(QStringLiteral("printDialog"), [&printDialogs](QDialog&) {
        ++printDialogs;
        return int(QDialog::Rejected);
    });

    CRightListView& pane = main.GetQuickViewPane();
    FocusOn(pane);
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printDialogs, 0) << "the quick view pane's Ctrl+P is not the calendar's";
    FocusOn(main.GetCalendarPage().GetPreviewList());
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printDialogs, 1);

    FocusOn(pane);
    Press(Qt::Key_End);
    ASSERT_EQ(pane.GetSelectionMark(), int(CRightListView::exportRow));
    TestServices().SetSaveFile(PathOf("budget"));
    TestServices().SetMenuChoice(QStringLiteral("exportCalendarAction"));
    Press(Qt::Key_Menu);
    ASSERT_FALSE(TestServices().OfferedMenus().empty());
    EXPECT_TRUE(TestServices().OfferedMenus().back().contains("exportPageAction"));
    EXPECT_EQ(EventCount(PathOf("budget.ics")), 1);
}

namespace {

std::size_t MeetingFilesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        count += name.starts_with("meeting") && name.ends_with(".mtg");
    }
    return count;
}

std::string ManyMeetings(int count) {
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (int i = 0; i < count; ++i) {
        text += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) +
                "\r\nSUMMARY:Many\r\nDTSTART:20261203T100000\r\nEND:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

} // namespace

// A stop asked for while the files are parsed adds nothing; one asked for while storing keeps
// the chunks stored before it, each whole.
TEST_F(CalendarSharingTest, AStoppedImportKeepsWholeChunksOnly) {
    const QString file = WriteFile("many.ics", ManyMeetings(2500).c_str());

    std::stop_source whileParsing;
    QTimer::singleShot(0, [&whileParsing] { whileParsing.request_stop(); });
    CImportOutcome outcome = ImportCalendarFiles(TestStore(), {file}, {}, whileParsing.get_token());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.added, 0u);
    EXPECT_EQ(MeetingFilesIn(Folder()), 0u);

    // A stop while storing keeps the chunks stored (the person's Cancel below); another
    // working directory opened meanwhile gets none of the rest.
    CTempFolder other;
    const auto openOther = [&other](std::size_t stored, std::size_t) {
        if (stored > 0) {
            SetWorkingDirectory(other.Path());
        }
    };
    outcome = ImportCalendarFiles(TestStore(), {file}, openOther);
    SetWorkingDirectory(Folder());
    EXPECT_EQ(outcome.added, CMeetingStore::addChunkSize);
    EXPECT_EQ(MeetingFilesIn(other.Path()), 0u);
    EXPECT_EQ(MeetingFilesIn(Folder()), CMeetingStore::addChunkSize);
}
