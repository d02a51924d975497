#include "editor/KesPage.h"
#include "editor/MinutesListCtrl.h"
#include "store/ContentFiles.h"
#include "tests/editor/EditorTestSupport.h"

namespace {

class KesPageTest : public CContentPageTest<CKesPage, CMinutesListCtrl> {
protected:
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
};

TEST_F(KesPageTest, MinutesKeepTheirOrderAndUpIsSavedInTheNewOrder) {
    Activate(*m_page);
    AddMinute(QStringLiteral("one"));
    AddMinute(QStringLiteral("two\nlines"));
    AddMinute(QStringLiteral("three"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "two\r\nlines", "three"}));

    ClickRow(*m_list, 2);
    Click(*m_page, "upButton");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "three", "two\r\nlines"}));
    EXPECT_EQ(m_list->GetSelectionMark(), 1) << "the mark did not move with the minute";
    // Alt+Down on the list is Down; Down on the last row changes nothing.
    m_list->setFocus();
    Press(Qt::Key_Down, Qt::AltModifier);
    Press(Qt::Key_Down, Qt::AltModifier);
    Press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"one", "three", "two\r\nlines"}));

    m_page->Save(CMeetingSheetPage::SaveReason::finish);
    EXPECT_EQ(FileBytes(ContentFilePath(ContentKind::minutes, meetingId)),
              Int32(3) + Str("one") + Str("three") + Str("two\r\nlines"));
}

TEST_F(KesPageTest, F2DoubleClickAndEnterModifyTheMarkedMinute) {
    WriteMinutesFile(meetingId, {"first", "second"});
    Activate(*m_page);

    ClickRow(*m_list, 1);
    ScriptDialog(TestServices(), "minuteDialog", [](QDialog&) {
        Press(Qt::Key_End, Qt::ControlModifier);
        Type(" and more");
    });
    m_list->setFocus();
    Press(Qt::Key_F2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"first", "second and more"}));
    // A double click on a row, and Enter on it, open Mod too.
    ScriptDialog(TestServices(), "minuteDialog", [](QDialog&) { Type("+"); });
    // The first click of a double click marks the row, the second opens it.
    ClickRow(*m_list, 0);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier,
                       m_list->ViewportRect(0).center());
    m_list->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"++first", "second and more"}));
}

} // namespace
