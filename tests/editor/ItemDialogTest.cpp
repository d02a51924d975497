#include "editor/AgendaItemDialog.h"
#include "editor/MinuteDialog.h"
#include "editor/TodoItemDialog.h"
#include "tests/editor/EditorTestSupport.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QPlainTextEdit>

namespace {

class ItemDialogTest : public CQtTest {};

TEST_F(ItemDialogTest, AgendaDialogRefusesAnEmptyTextAndKeepsTheFocusInIt) {
    CAgendaItemDialog dialog(CDateTime(2026, 12, 7, 14, 45, 0));
    Activate(dialog);
    EXPECT_EQ(FocusName(), "agendaText");
    EXPECT_EQ(Child<QDateTimeEdit>(dialog, "agendaTime")->text(), "02:45 PM")
        << "a new item starts at the time it was made";

    // Tab to the time, Enter for the default button: refused, back in the text, no message.
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "agendaTime");
    Press(Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "an empty agenda text was accepted";
    EXPECT_EQ(FocusName(), "agendaText");
    Click(dialog, "okButton");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(FocusName(), "agendaText");

    // Blanks count as text.
    Type("  ");
    Click(dialog, "okButton");
    EXPECT_FALSE(dialog.isVisible()) << "a text of blanks was refused";
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetText(), "  ");
}

TEST_F(ItemDialogTest, AgendaDialogEditsTheHourAndKeepsDateSecondsAndLineBreaks) {
    CAgendaItemDialog dialog(CDateTime(2026, 12, 7, 9, 0, 0));
    dialog.SetTime(CDateTime(2025, 3, 4, 9, 5, 30));
    dialog.SetText(QStringLiteral("first\r\nsecond"));
    Activate(dialog);
    auto* time = Child<QDateTimeEdit>(dialog, "agendaTime");
    EXPECT_EQ(time->text(), "09:05 AM") << "the picker shows hour, minute and AM/PM only";

    // Enter in the text starts a new line; the stored break is CR LF.
    Press(Qt::Key_End, Qt::ControlModifier);
    Press(Qt::Key_Return);
    Type("third");
    EXPECT_TRUE(dialog.isVisible()) << "Enter in the text closed the dialog";

    Press(Qt::Key_Tab);
    time->setCurrentSection(QDateTimeEdit::HourSection);
    Press(Qt::Key_Up);
    Press(Qt::Key_Return);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetText(), "first\r\nsecond\r\nthird");
    EXPECT_EQ(dialog.GetTime(), CDateTime(2025, 3, 4, 10, 5, 30))
        << "only the hour changes: the date and the seconds the item had are kept";
}

TEST_F(ItemDialogTest, TodoDialogAcceptsAnEmptyTextButNotAMissingPriority) {
    CTodoItemDialog dialog;
    dialog.SetPriority(7);
    dialog.SetText(QStringLiteral("stored with an odd priority"));
    Activate(dialog);
    auto* priority = Child<QComboBox>(dialog, "todoPriority");
    EXPECT_EQ(priority->currentIndex(), -1) << "a priority outside 0 to 2 must show no choice";

    Click(dialog, "okButton");
    EXPECT_TRUE(dialog.isVisible()) << "OK accepted without a priority";
    EXPECT_EQ(FocusName(), "todoPriority");

    // Pick High from the keyboard, tick Done with Space, empty the text.
    priority->setCurrentIndex(0);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "todoDone");
    Press(Qt::Key_Space);
    dialog.findChild<QPlainTextEdit*>("todoText")->setFocus();
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_Delete);
    Click(dialog, "okButton");
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << "an empty todo text was refused";
    EXPECT_EQ(dialog.GetPriority(), 2);
    EXPECT_TRUE(dialog.IsDone());
    EXPECT_EQ(dialog.GetText(), "");
}

TEST_F(ItemDialogTest, MinuteDialogRefusesAnEmptyText) {
    CMinuteDialog dialog;
    Activate(dialog);
    Click(dialog, "okButton");
    EXPECT_TRUE(dialog.isVisible()) << "an empty minute was accepted";
    EXPECT_EQ(FocusName(), "minuteText");
    Type("one");
    Click(dialog, "okButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
