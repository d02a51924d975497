#include "app/PaneSplitter.h"
#include "app/SidePaneGeometry.h"
#include "app/ToolbarDateCtrl.h"
#include "tests/support/TimeZoneScope.h"
#include "tests/support/WidgetDriving.h"
#include "ui/DateTimeConversion.h"
#include "ui/DateTimeFormat.h"
#include "ui/Formatting.h"
#include "ui/StringTable.h"
#include "ui/TextConversion.h"

#include <QKeyEvent>

#include <algorithm>
#include <climits>

using HelpersTest = CQtTest;

TEST_F(HelpersTest, TimeFormatLosesOnlyItsSeconds) {
    EXPECT_EQ(TimeFormatWithoutSeconds(QStringLiteral("h:mm:ss AP")), QStringLiteral("h:mm AP"));
    EXPECT_EQ(TimeFormatWithoutSeconds(QStringLiteral("HH.mm.ss")), QStringLiteral("HH.mm"));
    EXPECT_EQ(TimeFormatWithoutSeconds(QLocale::c().timeFormat(QLocale::ShortFormat))
                  .count(QLatin1Char('s')),
              0);
    const CDateTime when(2004, 3, 5, 14, 7, 9);
    EXPECT_FALSE(FormatTime(when).contains(QStringLiteral("09"))) << FormatTime(when).toStdString();
    EXPECT_TRUE(FormatTime(when).contains(QStringLiteral("07")));
    EXPECT_TRUE(FormatDate(CDateTime(0.0, CDateTime::invalid)).isEmpty());
}

TEST_F(HelpersTest, DatesAreShownAsStoredWhateverTheLocalTimeZone) {
    // 29 March 2026, 02:30 does not exist in Berlin: the clocks jump from 02:00 to 03:00.
    const CTimeZoneScope berlin("Europe/Berlin");
    const CDateTime gap(2026, 3, 29, 2, 30, 0);
    const CDateTimeFormat british(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const QString shown = british.DateAndTime(gap);
    const QString systemDate = FormatDate(gap);
    const QString systemTime = FormatTime(gap);
    const QString beforeGap = british.Time(CDateTime(2026, 3, 29, 1, 59, 0));

    EXPECT_EQ(shown, QStringLiteral("29/03/2026 02:30"));
    EXPECT_EQ(beforeGap, QStringLiteral("01:59"));
    EXPECT_TRUE(systemDate.contains(QStringLiteral("29"))) << systemDate.toStdString();
    EXPECT_TRUE(systemTime.contains(QStringLiteral("30"))) << systemTime.toStdString();
    EXPECT_TRUE(british.DateAndTime(CDateTime(0.0, CDateTime::null)).trimmed().isEmpty());
}

TEST_F(HelpersTest, HugeTextsAreShownFromABoundedPrefix) {
    const std::string shortTitle = "Budget review";
    EXPECT_EQ(ToShownText(shortTitle), QStringLiteral("Budget review"));
    EXPECT_EQ(ToShownText(std::string(shownTextLimit, 'x')).size(),
              static_cast<qsizetype>(shownTextLimit))
        << "a text of exactly the limit is shown whole";

    std::string huge(10 * 1024 * 1024, 'a');
    const QString shown = ToShownText(huge);
    EXPECT_LE(shown.size(), static_cast<qsizetype>(shownTextLimit) + 1);
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

    // Laid out in the widest row any screen has, the shown text still ends with the mark.
    const QFontMetrics metrics{QFont()};
    const QString elided = metrics.elidedText(shown, Qt::ElideRight, 100'000);
    EXPECT_TRUE(elided.endsWith(QChar(0x2026)));
}

TEST_F(HelpersTest, StoredBytesReadAsUtf8OrWindows1252) {
    EXPECT_EQ(ToQString("Caf\xc3\xa9"), QStringLiteral("Café"));
    EXPECT_EQ(ToQString("Caf\xe9 \x80"), QString::fromUtf8("Café €"));
    EXPECT_EQ(FromQString(QStringLiteral("Café")), "Caf\xc3\xa9");
    const CDateTime when(1999, 12, 31, 23, 59, 58);
    EXPECT_EQ(FromQDateTime(ToQDateTime(when)), when);
}

// The picker starts on the services' "now", not on a clock of its own, and keeps the time
// a pattern hides.
TEST_F(HelpersTest, PickerStartsOnTheServicesNowAndKeepsWhatItsPatternHides) {
    EXPECT_EQ(CToolbarDateCtrl::ToQtFormat(QStringLiteral("dd MMM, yyyy  hh:mm tt")),
              QStringLiteral("dd MMM, yyyy  hh:mm AP"));
    class CLaterNow : public CScriptedServices {
    public:
        CDateTime Now() const override { return CDateTime(2031, 5, 4, 8, 15, 0); }
    } services;
    CToolbarDateCtrl picker(services);
    EXPECT_EQ(picker.GetDateTime(), CDateTime(2031, 5, 4, 8, 15, 0));
    const CDateTime when(2026, 12, 6, 14, 30, 0);
    picker.SetDateTime(when);
    picker.SetFormat(LoadResString(StringId::monthPickerFormat));
    EXPECT_EQ(picker.GetDateTime(), when);
}

TEST_F(HelpersTest, PickerKeepsTheFieldBeingStepped) {
    // The frame sets the mode's pattern again after every change of the date.
    CToolbarDateCtrl picker(TestServices());
    picker.SetFormat(LoadResString(StringId::dayPickerFormat));
    QObject::connect(&picker, &CToolbarDateCtrl::pickedDateChanged,
                     [&picker] { picker.SetFormat(LoadResString(StringId::dayPickerFormat)); });
    picker.SetDateTime(CDateTime(2026, 3, 10, 9, 0, 0));
    picker.show();
    picker.setFocus();
    picker.setCurrentSection(QDateTimeEdit::YearSection);
    for (int step = 0; step < 2; ++step) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(&picker, &press);
    }
    EXPECT_EQ(picker.GetDateTime(), CDateTime(2028, 3, 10, 9, 0, 0))
        << "the second step must still move the year";
}

TEST_F(HelpersTest, SidePaneRowsAndCaptions) {
    using namespace SidePaneGeometry;
    EXPECT_EQ(RowAt(10, 170), 2);
    EXPECT_EQ(RowAt(-1), -1);
    EXPECT_EQ(ImageRect(RowRect(1, 200), 30), QRect(84, 100, 32, 30));
    EXPECT_EQ(TextRect(RowRect(0, 200)), QRect(0, 65, 200, 20));
    EXPECT_EQ(ShortcutCaption(QStringLiteral("Fifteen chars!!")),
              QStringLiteral("Fifteen chars!!"));
    EXPECT_EQ(ShortcutCaption(QStringLiteral("Sixteen chars!!!")),
              QStringLiteral("Sixteen chars!..."));
}

TEST_F(HelpersTest, ColumnWidthsFollowPercentagesAndStaySensible) {
    const auto widths = CPaneSplitter::ColumnWidths(1000, 15, 85);
    EXPECT_EQ(widths[0], 150);
    EXPECT_EQ(widths[1], 700);
    EXPECT_EQ(widths[2], 150);
    EXPECT_EQ(CPaneSplitter::PercentAt(299, 1000), 29);
    // Damaged settings never hide a pane.
    for (const auto& [first, second] :
         {std::pair{-40, 85}, std::pair{90, 10}, std::pair{200, 300}, std::pair{INT_MAX, INT_MAX},
          std::pair{INT_MIN, INT_MAX}, std::pair{30, INT_MIN}}) {
        const auto w = CPaneSplitter::ColumnWidths(1000, first, second);
        EXPECT_EQ(w[0] + w[1] + w[2], 1000) << first << " " << second;
        EXPECT_GE(std::min({w[0], w[1], w[2]}), 50) << first << " " << second;
    }
}
