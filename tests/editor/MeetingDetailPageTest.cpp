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

} // namespace
