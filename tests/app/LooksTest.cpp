#include "Version.h"
#include "app/DateToolBar.h"
#include "app/HelpWindow.h"
#include "app/LeftListView.h"
#include "app/MainFrame.h"
#include "app/SkippedFilesNotice.h"
#include "app/ToolbarDateCtrl.h"
#include "calendar/CalendarPage.h"
#include "tests/support/WidgetDriving.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgramStyle.h"
#include "ui/SystemServices.h"
#include "ui/WindowPlacement.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

#include <fstream>

namespace {

using LooksTest = CQtTest;

// The notice the frame left open, if any.
QMessageBox* OpenNotice() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget);
            box && box->objectName() == QStringLiteral("notice") && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

} // namespace

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

    // The widget: at a large font its edit shows the whole text of every month.
    CDateToolBar bar(TestServices());
    CToolbarDateCtrl& picker = *bar.GetDatePicker();
    picker.SetFormat(format);
    picker.setFont(large);
    bar.show();
    QApplication::processEvents();
    const QLineEdit* edit = picker.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    for (int month = 1; month <= 12; ++month) {
        const QString text = picker.locale().toString(QDate(2026, month, 7), format);
        EXPECT_GE(edit->width(), QFontMetrics(edit->font()).horizontalAdvance(text) + 4)
            << text.toStdString() << " is cut at width " << picker.width();
    }
    const int width = picker.width();
    picker.SetFormat(QStringLiteral("MMMM, yyyy"));
    EXPECT_EQ(picker.width(), width) << "a shorter pattern moves the toolbar's buttons";
}

// The left pane has the sunken frame of the panes beside it, and a click maps to the row
// drawn under it inside that frame.
TEST_F(LooksTest, LeftPaneHasAFrameAndRowsInsideIt) {
    CMainFrame frame(TestStore(), TestServices());
    frame.resize(1000, 700);
    frame.show();
    QApplication::processEvents();
    auto* left = frame.findChild<CLeftListView*>(QStringLiteral("leftPane"));
    ASSERT_NE(left, nullptr);
    const int border = left->frameWidth();
    EXPECT_TRUE(border > 0 && left->frameShadow() == QFrame::Sunken) << "no sunken frame";

    CCalendarPage& page = frame.GetCalendarPage();
    // The last pixel row of "Week" sits at 3 * 90 - 1 below the frame.
    ClickAt(left, QPoint(20, border + 3 * 90 - 1));
    EXPECT_EQ(page.GetMode(), CCalendarPage::weekMode);
    ClickAt(left, QPoint(20, border + 3 * 90));
    EXPECT_EQ(page.GetMode(), CCalendarPage::monthMode);
    page.ShowMode(CCalendarPage::dayMode);
    ClickAt(left, QPoint(20, left->height() - 1));
    EXPECT_EQ(page.GetMode(), CCalendarPage::dayMode) << "a click on the frame is no row";
}

// Message boxes show the program's pictures, one per kind, and standard buttons no icons,
// even where the platform would give them some.
TEST_F(LooksTest, MessageBoxesUseTheProgramsPicturesAndPlainButtons) {
    const std::pair<QMessageBox::Icon, QStyle::StandardPixmap> kinds[] = {
        {QMessageBox::Question, QStyle::SP_MessageBoxQuestion},
        {QMessageBox::Information, QStyle::SP_MessageBoxInformation},
        {QMessageBox::Warning, QStyle::SP_MessageBoxWarning},
        {QMessageBox::Critical, QStyle::SP_MessageBoxCritical}};
    for (const auto& [icon, picture] : kinds) {
        QMessageBox box(icon, QStringLiteral(TAVELIN_NAME_AND_VERSION), QStringLiteral("Text"));
        const QPixmap shown = box.iconPixmap();
        const QPixmap ours = MessagePicture(picture).pixmap(shown.deviceIndependentSize().toSize());
        EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                  ours.toImage().convertToFormat(QImage::Format_ARGB32))
            << "box kind " << icon;
    }
    EXPECT_TRUE(MessagePicture(QStyle::SP_DirIcon).isNull());

    // A platform that puts icons on dialog buttons (as desktop themes do).
    class CIconButtons : public QProxyStyle {
    public:
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* data) const override {
            return hint == SH_DialogButtonBox_ButtonsHaveIcons
                       ? 1
                       : QProxyStyle::styleHint(hint, option, widget, data);
        }
    };
    const auto buttonIcons = [](QStyle* style) {
        QDialogButtonBox buttons;
        buttons.setStyle(style);
        buttons.setStandardButtons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        int icons = 0;
        for (QAbstractButton* button : buttons.buttons()) {
            icons += button->icon().isNull() ? 0 : 1;
        }
        return icons;
    };
    CIconButtons platform;
    ASSERT_EQ(buttonIcons(&platform), 2) << "the test's platform style gives no icons";
    CProgramStyle program(new CIconButtons);
    EXPECT_EQ(buttonIcons(&program), 0);
    EXPECT_NE(qobject_cast<CProgramStyle*>(QApplication::style()), nullptr)
        << "the program does not use its style";
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

// With 2,000 damaged files the notice stays on the screen and opens over the main window;
// a second file that differs only in a byte that is not UTF-8 is still reported.
TEST_F(LooksTest, SkippedFilesNoticeStaysSmallAndCentredOverTheFrame) {
    for (int i = 0; i < 2000; ++i) {
        std::ofstream(Folder() / ("meeting" + std::to_string(1000 + i) + ".mtg")) << "x";
    }
    // The notice the system's services show, not the scripted record of it.
    CSystemServices system;
    CMainFrame frame(TestStore(), system);
    frame.setGeometry(100, 80, 1000, 700);
    frame.show();
    QApplication::processEvents();
    QMessageBox* box = OpenNotice();
    ASSERT_NE(box, nullptr);
    EXPECT_LT(box->height(), 500) << "the notice grows with the files";
    EXPECT_TRUE(box->detailedText().contains(QStringLiteral("meeting2999.mtg")));
    EXPECT_LE((box->geometry().center() - frame.geometry().center()).manhattanLength(), 40)
        << "not centred over the main window";
    box->close();
    QApplication::processEvents();

    std::ofstream(Folder() / "meeting\xfe.mtg") << "x";
    std::ofstream(Folder() / "meeting\xff.mtg") << "x";
    frame.ReloadStore();
    box = OpenNotice();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().startsWith(QStringLiteral("2 meeting files in")))
        << box->text().toStdString();
    EXPECT_TRUE(box->text().contains(QStringLiteral("meeting\\xfe.mtg")));
    EXPECT_TRUE(box->text().contains(QStringLiteral("meeting\\xff.mtg")));
    box->close();
}

// The help window opens centred over the window it was asked from, and on the screen.
TEST_F(LooksTest, HelpWindowOpensCentredOverTheMainWindow) {
    const QRect desk(0, 0, 1920, 1080);
    EXPECT_EQ(CentredTopLeft(QRect(1500, 900, 300, 100), QSize(600, 400), desk), QPoint(1320, 680))
        << "pushed back onto the screen";

    QWidget owner;
    owner.setGeometry(60, 40, 700, 520);
    owner.show();
    QApplication::processEvents();
    CHelpWindow* help = CHelpWindow::ShowContents(&owner);
    ASSERT_NE(help, nullptr);
    QApplication::processEvents();
    EXPECT_LE((help->geometry().center() - owner.geometry().center()).manhattanLength(), 40);
    const QRect screen = owner.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(help->frameGeometry())) << "larger than the screen";
    help->close();
    delete help;
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
