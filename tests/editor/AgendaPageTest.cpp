#include "editor/AgendaPage.h"
#include "editor/AgendaItemDialog.h"
#include "editor/AgendaListCtrl.h"
#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "tests/editor/EditorTestSupport.h"
#include "ui/StringTable.h"

#include <QPlainTextEdit>

namespace {

CDateTime At(int hour, int minute, int day = 1) {
    return CDateTime(2026, 12, day, hour, minute, 0);
}

class AgendaPageTest : public CContentPageTest<CAgendaPage, CAgendaListCtrl> {
protected:
    // Adds or changes an item through the dialog: its time set, its text typed.
    void ScriptItem(const CDateTime& time, const QString& text, int* runs = nullptr) {
        ScriptDialog(
            TestServices(), "agendaItemDialog",
            [time, text](QDialog& dialog) {
                static_cast<CAgendaItemDialog&>(dialog).SetTime(time);
                Press(Qt::Key_A, Qt::ControlModifier);
                Type(text);
            },
            runs);
    }
};

TEST_F(AgendaPageTest, ReadsItsFileWhenFirstShownInTimeOrderAndSavesTheWholeFile) {
    WriteAgendaFile(
        meetingId,
        {{At(14, 0, 3), "Lunch"}, {At(9, 30, 1), "Coffee"}, {At(9, 5, 2), "Welcome\r\nand intro"}});
    EXPECT_EQ(m_list->GetItemCount(), 0) << "the page read its file before it was shown";
    Activate(*m_page);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Welcome\r\nand intro", "Coffee", "Lunch"}))
        << "the agenda is not in order of the time of day, whatever the dates";

    // The box under the list shows the clicked item in full, with its line break.
    auto* box = m_page->findChild<QPlainTextEdit*>(QStringLiteral("agendaTextBox"));
    ClickRow(*m_list, 0);
    EXPECT_EQ(box->toPlainText(), "Welcome\nand intro");

    ScriptItem(At(15, 0), QStringLiteral("Review"));
    Click(*m_page, "addButton");
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Welcome\r\nand intro", "Coffee", "Lunch", "Review"}));

    // Moving Coffee from 09:30 to 16:00 puts it below the 15:00 item at once.
    ClickRow(*m_list, 1);
    ScriptItem(At(16, 0), QStringLiteral("Coffee"));
    Click(*m_page, "modButton");
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Welcome\r\nand intro", "Lunch", "Review", "Coffee"}));
    EXPECT_EQ(m_list->GetSelectionMark(), 3) << "the mark follows the moved item";
    ScriptItem(At(8, 0), QStringLiteral("Early"));
    Click(*m_page, "addButton");
    EXPECT_EQ(m_list->GetSelectionMark(), 4) << "an item added above moves the mark down";
    EXPECT_EQ(m_list->GetMarkedItem()->text, "Coffee");

    const auto path = ContentFilePath(ContentKind::agenda, meetingId);
    const std::string before = FileBytes(path);
    EXPECT_EQ(DecodeAgenda(before).size(), 3u) << "the file changed before the page saved";
    m_page->Save(CMeetingSheetPage::SaveReason::next);
    std::vector<CAgendaItem> shown;
    for (int row = 0; row < m_list->GetItemCount(); ++row) {
        shown.push_back(m_list->GetItem(row));
    }
    EXPECT_EQ(FileBytes(path), EncodeAgenda(shown)) << "the file is not the list as shown";
    EXPECT_EQ(shown[4].time, At(16, 0)) << "the item's date changed";
}

TEST_F(AgendaPageTest, DeleteAsksAndModAndDelWithoutAMarkDoNothing) {
    WriteAgendaFile(meetingId, {{At(9, 0), "Open"}, {At(10, 0), "Close"}});
    Activate(*m_page);

    int runs = 0;
    ScriptItem(At(11, 0), QStringLiteral("changed"), &runs);
    Click(*m_page, "modButton");
    TestServices().ScriptAnswers({true});
    Click(*m_page, "delButton");
    EXPECT_EQ(runs, 0) << "Mod without a marked item ran the dialog";
    EXPECT_TRUE(TestServices().Shown().isEmpty()) << "Del without a marked item asked";
    EXPECT_EQ(m_list->GetItemCount(), 2);

    // No keeps the item; Delete on the list is Del, with its question.
    ClickRow(*m_list, 0);
    TestServices().ScriptAnswers({false});
    Click(*m_page, "delButton");
    EXPECT_EQ(TestServices().Shown(), QStringList{LoadResString(61457)});
    EXPECT_EQ(m_list->GetItemCount(), 2) << "No deleted the item";
    m_list->setFocus();
    TestServices().ScriptAnswers({true});
    Press(Qt::Key_Delete);
    EXPECT_EQ(TestServices().Shown(), QStringList{LoadResString(61457)});
    EXPECT_EQ(Texts(), std::vector<std::string>{"Close"});
    EXPECT_EQ(m_page->findChild<QPlainTextEdit*>(QStringLiteral("agendaTextBox"))->toPlainText(),
              "")
        << "the text box still shows a deleted item";
}

TEST_F(AgendaPageTest, AFailingSaveRaisesAndKeepsTheItemsOnThePage) {
    WriteAgendaFile(meetingId, {{At(9, 0), "Open"}});
    Activate(*m_page);
    ScriptItem(At(10, 0), QStringLiteral("Typed"));
    Click(*m_page, "addButton");
    const auto path = ContentFilePath(ContentKind::agenda, meetingId);
    const std::string before = FileBytes(path);
    {
        CFullDiskScope fullDisk;
        EXPECT_THROW(m_page->Save(CMeetingSheetPage::SaveReason::ok), CFileError);
    }
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Open", "Typed"}));
    EXPECT_EQ(FileBytes(path), before) << "a failed save touched the old file";
    m_page->Save(CMeetingSheetPage::SaveReason::ok);
    EXPECT_EQ(ReadAgendaFile(meetingId).size(), 2u);
}

} // namespace
