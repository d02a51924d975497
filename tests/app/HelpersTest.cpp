#include "Version.h"
#include "app/RightListView.h"
#include "app/SkippedFilesNotice.h"
#include "app/SyncLauncher.h"
#include "store/MeetingMap.h"
#include "tests/support/EnvironmentScope.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WidgetDriving.h"
#include "ui/StringTable.h"
#include "ui/TextConversion.h"

#include <QSettings>

using HelpersTest = CQtTest;

TEST_F(HelpersTest, HugeTextsAreShownFromABoundedPrefix) {
    EXPECT_EQ(ToQString("Caf\xe9 \x80"), QString::fromUtf8("Café €")) << "Windows-1252";
    EXPECT_EQ(ToShownText(std::string(shownTextLimit, 'x')).size(),
              static_cast<qsizetype>(shownTextLimit))
        << "a text of exactly the limit is shown whole";
    std::string huge(10 * 1024 * 1024, 'a');
    const QString shown = ToShownText(huge);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << "a cut text says so";
    huge.replace(shownTextLimit, std::string::npos, huge.size() - shownTextLimit, 'z');
    EXPECT_EQ(ToShownText(huge), shown) << "nothing past the prefix is read";

    // "é" is two bytes; an odd start puts a character across the limit.
    std::string accented = "a";
    for (int i = 0; i < 5'000'000; ++i) {
        accented += "\xc3\xa9";
    }
    const QString accentedShown = ToShownText(accented);
    EXPECT_FALSE(accentedShown.contains(QChar(0xC3))) << "a cut character turned Windows-1252";
    EXPECT_EQ(accentedShown.count(QChar(0xE9)), static_cast<qsizetype>(shownTextLimit - 2) / 2);
}

// Undecodable bytes and control characters in a skipped file's name show escaped, so the
// file can be found; the notice names a few files and the details give every path.
TEST_F(HelpersTest, SkippedFilesNoticeCountsNamesAndEscapes) {
    EXPECT_EQ(EscapedFileName("\xc3(\xe2\x82"), QStringLiteral("\\xc3(\\xe2\\x82"))
        << "a cut sequence is escaped byte by byte";
    EXPECT_EQ(EscapedFileName("two\nlines"), QStringLiteral("two\\x0alines"));
    std::vector<std::filesystem::path> many;
    for (int i = 0; i < 2000; ++i) {
        many.push_back("/data/Meeting Files/meeting" + std::to_string(i) + ".mtg");
    }
    const CSkippedFilesNotice notice = SkippedFilesNotice(many);
    EXPECT_TRUE(
        notice.text.startsWith(QStringLiteral("2000 meeting files in /data/Meeting Files")));
    EXPECT_TRUE(notice.text.contains(QStringLiteral("meeting4.mtg\n")));
    EXPECT_TRUE(notice.text.contains(QStringLiteral("1995 more")));
    EXPECT_EQ(notice.details.count(QLatin1Char('\n')), 1999);
    EXPECT_TRUE(notice.details.endsWith(QStringLiteral("/data/Meeting Files/meeting1999.mtg")));
}

// The configured tool is started as it is named; with none (a blank entry, nothing on the
// PATH) nothing starts, and nothing is said.
TEST_F(HelpersTest, SyncStartsTheConfiguredToolAndNothingWithoutOne) {
    CTempFolder bin;
    const CEnvironmentScope path("PATH", bin.Path().c_str());
    for (const QString tool : {"   ", "/opt/Sync Tools/wcesmgr"}) {
        QSettings("Brindleware", TAVELIN_NAME_AND_VERSION).setValue("Sync/Tool", tool);
        CSyncLauncher(TestServices()).Launch();
    }
    const auto& started = TestServices().StartedPrograms();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, "/opt/Sync Tools/wcesmgr");
    EXPECT_EQ(started[0].arguments, QStringList({"/show", "/syncnow"}));
    EXPECT_TRUE(TestServices().Shown().isEmpty());
}

// With the export item hidden under the focus, the focus and Enter go to a row still there.
TEST_F(HelpersTest, HidingTheFocusedExportItemLeavesTheFocusOnARow) {
    CMeetingMap quickView;
    CRightListView pane(quickView, TestServices());
    pane.resize(200, 450);
    pane.SetExportItemShown(true);
    pane.Fill();
    Activate(pane);
    FocusOn(pane);
    Press(Qt::Key_End);
    ASSERT_EQ(pane.GetSelectionMark(), static_cast<int>(CRightListView::exportRow));

    pane.SetExportItemShown(false);
    pane.HideExportItem();
    EXPECT_EQ(pane.GetSelectionMark(), static_cast<int>(CRightListView::exitRow));
    TestServices().ScriptAnswers({false});
    Press(Qt::Key_Return);
    EXPECT_EQ(TestServices().Shown(), QStringList{LoadResString(StringId::askCloseProgram)})
        << "Enter acts on the row that took the focus";
}
