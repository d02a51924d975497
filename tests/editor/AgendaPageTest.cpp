#include "editor/AgendaPage.h"
#include "editor/AgendaItemDialog.h"
#include "editor/AgendaListCtrl.h"
#include "store/ContentFiles.h"
#include "tests/editor/EditorTestSupport.h"

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

} // namespace
