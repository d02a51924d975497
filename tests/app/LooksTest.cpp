#include "app/SkippedFilesNotice.h"
#include "app/ToolbarDateCtrl.h"
#include "tests/support/WidgetDriving.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowPlacement.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTextEdit>

using LooksTest = CQtTest;

// The picker shows the longest month of its locale whole, at any font, and is never
// narrower than 140 pixels.
TEST_F(LooksTest, DatePickerIsWideEnoughForTheLongestMonthOfItsLocaleAndFont) {
    const QString format = QStringLiteral("MMMM dd, yyyy");
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale greek(QLocale::Greek, QLocale::Greece);
    QFont small;
    small.setPixelSize(8);
    QFont large;
    large.setPixelSize(22);
    EXPECT_EQ(CToolbarDateCtrl::WidthFor(QFontMetrics(small), english, format, 20), 140);
    EXPECT_GT(CToolbarDateCtrl::WidthFor(QFontMetrics(large), greek, format, 20),
              CToolbarDateCtrl::WidthFor(QFontMetrics(large), english, format, 20))
        << "Greek month names are longer";
}

// The notice names the count and a few files; undecodable bytes and control characters
// show escaped, so the file can be found; the whole list goes into the details.
TEST_F(LooksTest, SkippedFilesNoticeCountsNamesAndEscapes) {
    EXPECT_EQ(EscapedFileName("bad\xff.mtg"), QStringLiteral("bad\\xff.mtg"));
    EXPECT_EQ(EscapedFileName("r\xc3\xa9union.mtg"), QStringLiteral("r\u00e9union.mtg"));
    EXPECT_EQ(EscapedFileName("\xc3(\xe2\x82"), QStringLiteral("\\xc3(\\xe2\\x82"))
        << "a cut sequence is escaped byte by byte";
    EXPECT_EQ(EscapedFileName("two\nlines"), QStringLiteral("two\\x0alines"));

    const std::filesystem::path folder = "/data/Meeting Files";
    const CSkippedFilesNotice one = SkippedFilesNotice({folder / "bad\xff.mtg"});
    EXPECT_TRUE(one.text.startsWith(QStringLiteral("1 meeting file in /data/Meeting Files is")))
        << one.text.toStdString();
    EXPECT_TRUE(one.text.endsWith(QStringLiteral("\n\nbad\\xff.mtg"))) << one.text.toStdString();
    EXPECT_TRUE(one.details.isEmpty());

    std::vector<std::filesystem::path> many;
    for (int i = 0; i < 2000; ++i) {
        many.push_back(folder / ("meeting" + std::to_string(i) + ".mtg"));
    }
    const CSkippedFilesNotice notice = SkippedFilesNotice(many);
    EXPECT_TRUE(notice.text.startsWith(QStringLiteral("2000 meeting files in")));
    EXPECT_TRUE(notice.text.contains(QStringLiteral("meeting4.mtg")));
    EXPECT_FALSE(notice.text.contains(QStringLiteral("meeting5.mtg"))) << "only the first few";
    EXPECT_TRUE(notice.text.contains(QStringLiteral("1995 more")));
    EXPECT_EQ(notice.details.count(QLatin1Char('\n')), 1999);
    EXPECT_TRUE(notice.details.endsWith(QStringLiteral("/data/Meeting Files/meeting1999.mtg")))
        << "the details give whole paths";
    const CSkippedFilesNotice mixed = SkippedFilesNotice({"/a/x.mtg", "/b/y.mtg"});
    EXPECT_TRUE(mixed.text.endsWith(QStringLiteral("\n\n/a/x.mtg\n/b/y.mtg")))
        << "no folder to name";
}

// A window (the help) opens centred over the one it was asked from, and on the screen.
TEST_F(LooksTest, AWindowOpensCentredOverItsOwnerAndOnTheScreen) {
    const QRect desk(0, 0, 1920, 1080);
    EXPECT_EQ(CentredTopLeft(QRect(1500, 900, 300, 100), QSize(600, 400), desk), QPoint(1320, 680))
        << "pushed back onto the screen";
}

// The details of a notice are read in an area of a dozen lines, and Enter closes the box even
// after Show Details took the focus.
TEST_F(LooksTest, NoticeDetailsAreReadableAndEnterClosesTheBox) {
    QStringList reasons;
    for (int i = 0; i < 30; ++i) {
        reasons << QStringLiteral("Skipped \u201cEntry %1\u201d: It has no start.").arg(i);
    }
    const std::unique_ptr<QMessageBox> box =
        MakeNoticeBox(QStringLiteral("Added 2 meetings.\n30 entries were skipped."),
                      reasons.join(QLatin1Char('\n')), nullptr);
    Activate(*box);
    QAbstractButton* details = nullptr;
    for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole) {
            details = button;
        }
    }
    ASSERT_NE(details, nullptr) << "Show Details...";
    FocusOn(*details);
    Press(Qt::Key_Space);
    const auto* area = box->findChild<QTextEdit*>();
    ASSERT_TRUE(area != nullptr && area->isVisible());
    const QFontMetrics metrics(area->font());
    EXPECT_GE(area->height(), 10 * metrics.lineSpacing());
    EXPECT_GE(area->width(), metrics.horizontalAdvance(reasons.front()));

    Press(Qt::Key_Return);
    EXPECT_FALSE(box->isVisible()) << "Enter was taken by " << FocusName().toStdString();
}
