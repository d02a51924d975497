#include "editor/KesPage.h"
#include "editor/MinutesListCtrl.h"
#include "store/ContentFiles.h"
#include "tests/editor/EditorTestSupport.h"
#include "tests/support/QtTestEnvironment.h"
#include "ui/StringTable.h"

namespace {

const std::string meetingId = "2026120109000010";

class KesPageTest : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        m_page = std::make_unique<CKesPage>(TestStore(), TestServices(), meetingId);
        m_list = m_page->findChild<CMinutesListCtrl*>(QStringLiteral("minutesList"));
        ASSERT_NE(m_list, nullptr);
    }
    void TearDown() override {
        m_page.reset();
        CQtTest::TearDown();
    }

    std::vector<std::string> Minutes() const {
        std::vector<std::string> minutes;
        for (int row = 0; row < m_list->GetItemCount(); ++row) {
            minutes.push_back(m_list->GetItem(row));
        }
        return minutes;
    }

    // Adds a minute through the dialog, typed; "\n" presses Enter.
    void AddMinute(const QString& text) {
        ScriptDialog(TestServices(), "minuteDialog", [text](QDialog&) {
            const QStringList lines = text.split(QLatin1Char('\n'));
            for (int i = 0; i < lines.size(); ++i) {
                if (i > 0) {
                    Press(Qt::Key_Return);
                }
                Type(lines[i]);
            }
        });
        Click(*m_page, "addButton");
    }

    std::unique_ptr<CKesPage> m_page;
    CMinutesListCtrl* m_list = nullptr;
};

TEST_F(KesPageTest, MinutesKeepTheirOrderAndUpIsSavedInTheNewOrder) {
    Activate(*m_page);
    AddMinute(QStringLiteral("one"));
    AddMinute(QStringLiteral("two\nlines"));
    AddMinute(QStringLiteral("three"));
    EXPECT_EQ(Minutes(), (std::vector<std::string>{"one", "two\r\nlines", "three"}));

    ClickRow(*m_list, 2);
    Click(*m_page, "upButton");
    EXPECT_EQ(Minutes(), (std::vector<std::string>{"one", "three", "two\r\nlines"}));
    EXPECT_EQ(m_list->GetSelectionMark(), 1) << "the mark did not move with the minute";
    // Alt+Down on the list is Down; Down on the last row changes nothing.
    m_list->setFocus();
    Press(Qt::Key_Down, Qt::AltModifier);
    Press(Qt::Key_Down, Qt::AltModifier);
    Press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Minutes(), (std::vector<std::string>{"one", "three", "two\r\nlines"}));

    m_page->Save(CMeetingSheetPage::SaveReason::finish);
    EXPECT_EQ(FileBytes(ContentFilePath(ContentKind::minutes, meetingId)),
              Int32(3) + Str("one") + Str("three") + Str("two\r\nlines"));
}

TEST_F(KesPageTest, ModAndDelActOnTheMarkedMinute) {
    WriteMinutesFile(meetingId, {"first", "second"});
    Activate(*m_page);

    ClickRow(*m_list, 1);
    ScriptDialog(TestServices(), "minuteDialog", [](QDialog&) {
        Press(Qt::Key_End, Qt::ControlModifier);
        Type(" and more");
    });
    m_list->setFocus();
    Press(Qt::Key_F2);
    EXPECT_EQ(Minutes(), (std::vector<std::string>{"first", "second and more"}));
    // A double click on a row, and Enter on it, open Mod too.
    ScriptDialog(TestServices(), "minuteDialog", [](QDialog&) { Type("+"); });
    // The first click of a double click marks the row, the second opens it.
    ClickRow(*m_list, 0);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier,
                       m_list->ViewportRect(0).center());
    m_list->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(Minutes(), (std::vector<std::string>{"++first", "second and more"}));

    m_list->setFocus();
    TestServices().ScriptAnswers({true});
    Press(Qt::Key_Delete);
    EXPECT_EQ(TestServices().Shown(), QStringList{LoadResString(61461)});
    EXPECT_EQ(Minutes(), std::vector<std::string>{"second and more"});
}

} // namespace
