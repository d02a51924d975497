#include "app/QuickAddPage.h"
#include "app/QuickSheet.h"
#include "app/RightListView.h"
#include "calendar/CalendarPage.h"
#include "tests/support/FrameTest.h"
#include "ui/TextConversion.h"

#include <QDateTimeEdit>
#include <QLineEdit>

#include <memory>

namespace {
const CDateTime opened(2026, 12, 3, 14, 25, 42);

// Plays the sheet as a person would: types the title where the focus starts, then the
// venue, optionally steps the picker's first field up with the arrow key, and presses Enter
// (or Escape).
struct SQuickAddInput {
    QString title;
    QString venue;
    bool stepDay = false;
    bool cancel = false;
};

class QuickAddTest : public CFrameTest {
protected:
    void SetUp() override {
        CFrameTest::SetUp();
        TestServices().SetNow(opened);
    }
    static void Script(const SQuickAddInput& input) {
        TestServices().SetDialogScript("quickSheet", [input](QDialog& sheet) {
            sheet.show();
            QApplication::setActiveWindow(&sheet);
            if (!QTest::qWaitForWindowActive(&sheet)) {
                ADD_FAILURE() << "the sheet never became active";
                return int(QDialog::Rejected);
            }
            QWidget* title = QApplication::focusWidget();
            EXPECT_EQ(title ? title->objectName() : QString(), QStringLiteral("title"));
            QTest::keyClicks(title, input.title);
            if (input.stepDay) {
                auto* date = sheet.findChild<QDateTimeEdit*>(QStringLiteral("date"));
                date->setFocus(Qt::TabFocusReason);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
            }
            sheet.findChild<QLineEdit*>(QStringLiteral("venue"))->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(QApplication::focusWidget(), input.venue);
            QTest::keyClick(QApplication::focusWidget(),
                            input.cancel ? Qt::Key_Escape : Qt::Key_Return);
            return sheet.result();
        });
    }

    // Runs the sheet on its own and returns the stored meeting, if one was stored.
    static std::optional<CMeeting> QuickAdd(const SQuickAddInput& input) {
        Script(input);
        const std::size_t before = TestStore().GetCount();
        CQuickSheet sheet(TestStore(), TestServices());
        sheet.Run();
        if (TestStore().GetCount() == before) {
            return std::nullopt;
        }
        return TestStore().GetMeeting(sheet.GetRecord().id);
    }
};

} // namespace

TEST_F(QuickAddTest, TitleTrimmedVenueKeptDateFromThePicker) {
    const std::optional<CMeeting> added = QuickAdd({"  Budget review  ", "  Hall B  "});
    ASSERT_TRUE(added);
    EXPECT_EQ(added->title, "Budget review");
    EXPECT_EQ(added->venue, "  Hall B  ") << "the venue is stored as typed";
    EXPECT_EQ(added->date, opened) << "the untouched picker keeps the seconds too";

    const std::optional<CMeeting> blank = QuickAdd({"   ", ""});
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->title, "No Subject");

    const std::optional<CMeeting> later = QuickAdd({"Later", "", true});
    ASSERT_TRUE(later);
    EXPECT_EQ(later->date, CDateTime(2026, 12, 4, 14, 25, 42)) << "the picker's day, one up";

    EXPECT_FALSE(QuickAdd({"Dropped", "", false, true})) << "Escape stores nothing";
    EXPECT_EQ(TestStore().GetCount(), 3u);
}
