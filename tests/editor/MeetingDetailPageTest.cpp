#include "editor/MeetingDetailPage.h"
#include "store/MeetingFile.h"
#include "tests/editor/SheetDriver.h"

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace SheetDriver;
using SaveReason = CMeetingSheetPage::SaveReason;

namespace {

const std::string budget = "2026120109000010";

class MeetingDetailPageTest : public CQtTest {
protected:
    void TearDown() override {
        page.reset();
        CQtTest::TearDown();
    }

    CMeetingDetailPage& Open(const CMeeting& stored) {
        TestStore().ModifyMeeting(stored);
        page = std::make_unique<CMeetingDetailPage>(TestStore(), TestServices(), stored.id);
        Activate(*page);
        page->EnsureLoaded();
        return *page;
    }

    template <typename T = QLineEdit> T* Field(const char* name) const {
        return page->findChild<T*>(QString::fromLatin1(name));
    }

    static CMeeting Stored() { return TestStore().GetMeeting(budget); }

    std::unique_ptr<CMeetingDetailPage> page;
};

CMeeting Budget() {
    CMeeting meeting(CDateTime(2026, 12, 1, 10, 30, 45));
    meeting.id = budget;
    meeting.title = "Budget";
    meeting.reference = "B-7";
    meeting.icon = 5;
    return meeting;
}

TEST_F(MeetingDetailPageTest, NextCleansTheTitleWhileOkStoresEveryTextAsTyped) {
    Open(Budget());
    EXPECT_EQ(Field("titleEdit")->text(), QStringLiteral("Budget"));
    EXPECT_EQ(Field("referenceEdit")->text(), QStringLiteral("B-7")) << "the reference, not the id";

    const std::pair<const char*, const char*> nextCases[] = {
        {"   ", "No Subject"}, {"  Budget review\t ", "Budget review"}, {"", "No Subject"}};
    for (const auto& [typed, stored] : nextCases) {
        TypeInto(Field("titleEdit"), QString::fromLatin1(typed));
        page->Save(SaveReason::next);
        EXPECT_EQ(Stored().title, stored) << "Next with \"" << typed << "\"";
    }
    for (const char* typed : {"   ", "  padded  "}) {
        TypeInto(Field("titleEdit"), QString::fromLatin1(typed));
        page->Save(SaveReason::ok);
        EXPECT_EQ(Stored().title, typed) << "OK stores the title as typed";
    }

    TypeInto(Field("venueEdit"), QStringLiteral(" Room 4 "));
    TypeInto(Field("presidedByEdit"), QStringLiteral("Åsa"));
    TypeInto(Field<QPlainTextEdit>("notesEdit"), QStringLiteral("one"));
    ::Press(Qt::Key_Return);
    Type(QStringLiteral("two"));
    page->Save(SaveReason::ok);
    const CMeeting stored = Stored();
    EXPECT_EQ(stored.venue, " Room 4 ");
    EXPECT_EQ(stored.presidedBy, "Åsa") << "typed text is stored as UTF-8";
    EXPECT_EQ(stored.notes, "one\r\ntwo") << "Enter starts a new line, stored as CR LF";
    EXPECT_EQ(stored.reference, "B-7");
    EXPECT_EQ(stored.icon, 5);
    EXPECT_EQ(stored.id, budget);

    CMeeting longTitle = Budget();
    longTitle.title = std::string(40000, 'T');
    Open(longTitle);
    FocusOn(*Field("titleEdit"));
    ::Press(Qt::Key_End);
    Type(QStringLiteral("!"));
    page->Save(SaveReason::ok);
    EXPECT_EQ(Stored().title.size(), 40001u) << "no text has a length limit";
}

TEST_F(MeetingDetailPageTest, DateFieldIsWalkedByItsKeysAndStoresWhatItShows) {
    const QLocale locales[] = {QLocale(), QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::English, QLocale::UnitedKingdom)};
    for (const QLocale& locale : locales) {
        CMeeting meeting(CDateTime(2026, 12, 1, 22, 30, 0));
        meeting.id = budget;
        Open(meeting);
        auto* date = Field<QDateTimeEdit>("dateEdit");
        date->setLocale(locale);
        FocusOn(*Field("referenceEdit"));
        ::Press(Qt::Key_Tab);
        ASSERT_EQ(FocusName().toStdString(), "dateEdit");
        // Day, then a separator to the month; the year, hour and minute to the AM/PM part.
        Type(QStringLiteral("7 "));
        for (int part = 0; part < 4; ++part) {
            ::Press(Qt::Key_Right);
        }
        Type(QStringLiteral("a"));
        ::Press(Qt::Key_Left);
        Type(QStringLiteral("45"));
        ::Press(Qt::Key_Tab);
        EXPECT_EQ(FocusName().toStdString(), "venueEdit") << locale.name().toStdString();
        Type(QStringLiteral("Room 4"));
        // Two clicks on the field's left border step nothing.
        for (int click = 0; click < 2; ++click) {
            QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(0, date->height() / 2));
        }
        page->Save(SaveReason::ok);
        meeting.date = CDateTime(2026, 12, 7, 10, 45, 0);
        meeting.venue = "Room 4";
        EXPECT_EQ(FileBytes(MeetingFilePath(budget)), EncodeMeeting(meeting))
            << locale.name().toStdString() << ": " << date->text().toStdString();

        FocusOn(*Field("venueEdit"));
        ::Press(Qt::Key_Backtab);
        Type(QStringLiteral("p"));
        ::Press(Qt::Key_Backtab);
        EXPECT_EQ(FocusName().toStdString(), "referenceEdit") << locale.name().toStdString();
        page->Save(SaveReason::ok);
        EXPECT_EQ(Stored().date, CDateTime(2026, 12, 7, 22, 45, 0))
            << locale.name().toStdString() << ": " << date->text().toStdString();
    }
}

} // namespace
