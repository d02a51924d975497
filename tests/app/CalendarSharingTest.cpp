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
#include <QPushButton>
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

    void Drop(const QList<QUrl>& urls, bool& entered) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = frame->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame.get(), &enter);
        entered = enter.isAccepted();
        if (entered) {
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(frame.get(), &drop);
        }
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
    EXPECT_TRUE(details.contains(QStringLiteral("Skipped \u201cSomeday\u201d: It has no start")))
        << details.toStdString();
    EXPECT_TRUE(details.contains(QStringLiteral("\u201cStand-up\u201d: A recurring event")))
        << details.toStdString();
    EXPECT_EQ(main.GetCalendarPage().GetSelectedDate().GetDay(), 3)
        << "the calendar turns to the first meeting added";
    EXPECT_TRUE(frame->GetAction(CommandId::exportAllCalendar)->isEnabled());
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
    EXPECT_TRUE(errors[0].contains(bad) && errors[0].contains("could not be imported"))
        << errors[0].toStdString();
    EXPECT_FALSE(errors[0].contains("Added")) << "no summary claiming success alone";

    TestServices().ScriptAnswers({});
    const QString missing = PathOf("gone.ics");
    TestServices().SetOpenFiles({bad, WriteFile("good.ics", twoMeetings), missing});
    frame->OnCommand(CommandId::importCalendar);
    EXPECT_EQ(TestStore().GetMap().GetCount(), 2u);
    const QStringList notices = TestServices().ShownAs(CScriptedServices::Kind::notice);
    ASSERT_EQ(notices.size(), 1) << TestServices().Shown().join('|').toStdString();
    EXPECT_TRUE(notices[0].startsWith("Added 2 meetings.")) << notices[0].toStdString();
    EXPECT_TRUE(notices[0].contains(bad) && notices[0].contains(missing))
        << notices[0].toStdString();

    TestServices().ScriptAnswers({});
    TestServices().SetOpenFiles({PathOf("good.ics")});
    {
        CFailingScope<CNoWriteCalls> noWrite;
        frame->OnCommand(CommandId::importCalendar);
    }
    EXPECT_EQ(TestStore().GetMap().GetCount(), 2u);
    errors = TestServices().ShownAs(CScriptedServices::Kind::error);
    ASSERT_EQ(errors.size(), 1) << TestServices().Shown().join('|').toStdString();
    EXPECT_TRUE(errors[0].contains("could not be written")) << errors[0].toStdString();
}

// The import tells how far it has come: once all files are parsed, then as meetings are
// stored; a write failure still ends in the summary's error.
TEST_F(CalendarSharingTest, ImportReportsProgressFromParsedToStored) {
    std::vector<std::pair<std::size_t, std::size_t>> reports;
    const auto note = [&reports](std::size_t stored, std::size_t total) {
        reports.emplace_back(stored, total);
    };
    const QString file = WriteFile("two.ics", twoMeetings);
    CImportOutcome outcome = ImportCalendarFiles(TestStore(), {file}, note);
    EXPECT_EQ(outcome.added, 2u);
    EXPECT_EQ(reports, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 2}, {2, 2}}));

    reports.clear();
    CNoWriteCalls noWrite;
    SetFileCalls(&noWrite);
    outcome = ImportCalendarFiles(TestStore(), {file}, note);
    SetFileCalls(nullptr);
    EXPECT_EQ(outcome.added, 0u);
    EXPECT_FALSE(outcome.writeError.isEmpty());
    EXPECT_EQ(reports, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 2}}))
        << "no progress claimed for meetings not stored";
    EXPECT_EQ(TestStore().GetMap().GetCount(), 2u);
}

TEST_F(CalendarSharingTest, DroppingIcsFilesOnTheWindowImportsThem) {
    MakeFrame();
    bool entered = false;
    Drop({QUrl::fromLocalFile(WriteFile("notes.txt", "hello"))}, entered);
    EXPECT_FALSE(entered) << "a drag without an iCalendar file is refused";

    Drop({QUrl::fromLocalFile(WriteFile("notes.txt", "hello")),
          QUrl::fromLocalFile(WriteFile("Other.ICS", twoMeetings))},
         entered);
    EXPECT_TRUE(entered);
    EXPECT_EQ(StoredTitles(), (QStringList{"Board meeting", "Stand-up"}));
    const QStringList notices = TestServices().ShownAs(CScriptedServices::Kind::notice);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].startsWith("Added 2 meetings.\n")) << notices[0].toStdString();
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
    for (const int command :
         {CommandId::printMeeting, CommandId::exportPdf, CommandId::exportMeetingCalendar}) {
        EXPECT_FALSE(main.GetAction(command)->isEnabled()) << command << " without a preview";
        EXPECT_NE(MenuAction("meetingMenu", command), nullptr) << command;
    }
    EXPECT_NE(MenuAction("fileMenu", CommandId::exportMonthCalendar), nullptr);
    EXPECT_NE(MenuAction("fileMenu", CommandId::exportAllCalendar), nullptr);

    page.GoToDate(CDateTime(2027, 2, 10, 0, 0, 0));
    main.UpdateCommandStates();
    EXPECT_FALSE(main.GetAction(CommandId::exportMonthCalendar)->isEnabled()) << "empty month";
    page.GoToDate(CDateTime(2026, 12, 10, 0, 0, 0));
    main.UpdateCommandStates();
    ASSERT_TRUE(main.GetAction(CommandId::exportMonthCalendar)->isEnabled());

    TestServices().SetSaveFile(PathOf("december"));
    main.OnCommand(CommandId::exportMonthCalendar);
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

// Neither a pipe nor a device in a file's place can hold the import up or feed it without end.
TEST_F(CalendarSharingTest, OnlyRegularFilesAreRead) {
    const QString fifo = PathOf("pipe.ics");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = PathOf("zero.ics");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    const QString good = WriteFile("two.ics", twoMeetings);
    const CImportOutcome outcome = ImportCalendarFiles(TestStore(), {fifo, zero, good});
    EXPECT_EQ(outcome.added, 2u);
    ASSERT_EQ(outcome.failedFiles.size(), 2u);
    for (const auto& [file, reason] : outcome.failedFiles) {
        EXPECT_EQ(reason, QStringLiteral("it is not a regular file")) << file.toStdString();
    }
}

// The files are parsed while the window's events go on; a stop asked for then adds nothing,
// and one asked for while storing keeps the chunks stored before it, each whole.
TEST_F(CalendarSharingTest, AStoppedImportKeepsWholeChunksOnly) {
    const QString file = PathOf("many.ics");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromStdString(ManyMeetings(2500)));
    out.close();

    std::stop_source whileParsing;
    QTimer::singleShot(0, [&whileParsing] { whileParsing.request_stop(); });
    CImportOutcome outcome = ImportCalendarFiles(TestStore(), {file}, {}, whileParsing.get_token());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.added, 0u);
    EXPECT_EQ(MeetingFilesIn(Folder()), 0u);

    // A person's Cancel while the file is read does the same.
    QTimer::singleShot(0, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QLatin1String("calendarReadingProgress")) {
                window->show();
                for (QPushButton* button : window->findChildren<QPushButton*>()) {
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            }
        }
    });
    outcome = ImportCalendarFiles(TestStore(), {file});
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.added, 0u);
    EXPECT_EQ(MeetingFilesIn(Folder()), 0u);

    std::stop_source whileStoring;
    const auto stopAfterFirstChunk = [&whileStoring](std::size_t stored, std::size_t) {
        if (stored > 0) {
            whileStoring.request_stop();
        }
    };
    outcome =
        ImportCalendarFiles(TestStore(), {file}, stopAfterFirstChunk, whileStoring.get_token());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.added, CMeetingStore::addChunkSize);
    EXPECT_EQ(MeetingFilesIn(Folder()), CMeetingStore::addChunkSize);
    EXPECT_EQ(TestStore().GetCount(), CMeetingStore::addChunkSize);

    // Another working directory opened meanwhile gets none of the rest.
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
    EXPECT_EQ(MeetingFilesIn(Folder()), 2 * CMeetingStore::addChunkSize);
}

// A person's Cancel while the meetings are stored, through the File menu: the chunk at hand
// goes in whole, the rest does not, and the summary says the import was cancelled.
TEST_F(CalendarSharingTest, CancelWhileStoringKeepsTheChunksStoredAndSaysSo) {
    MakeFrame();
    const QString file = PathOf("many.ics");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray::fromStdString(ManyMeetings(2500)));
    out.close();
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QLatin1String("calendarStoringProgress")) {
                for (QPushButton* button : window->findChildren<QPushButton*>()) {
                    button->click();
                }
            }
        }
    });
    press.start(0);
    TestServices().SetOpenFiles({file});
    MenuAction("fileMenu", CommandId::importCalendar)->trigger();
    EXPECT_EQ(MeetingFilesIn(Folder()), CMeetingStore::addChunkSize);
    EXPECT_EQ(TestServices().ShownAs(CScriptedServices::Kind::message),
              QStringList{"Added 1000 meetings.\nThe import was cancelled; the meetings added "
                          "before stay."});
}
