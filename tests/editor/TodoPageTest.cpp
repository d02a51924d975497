#include "editor/TodoPage.h"
#include "editor/TodoItemDialog.h"
#include "editor/TodoListCtrl.h"
#include "store/ContentFiles.h"
#include "tests/editor/EditorTestSupport.h"

#include <QPlainTextEdit>

#include <algorithm>

namespace {

class TodoPageTest : public CContentPageTest<CTodoPage, CTodoListCtrl> {
protected:
    int RowOf(const std::string& text) const {
        const auto texts = Texts();
        const auto found = std::find(texts.begin(), texts.end(), text);
        return found == texts.end() ? -1 : static_cast<int>(found - texts.begin());
    }
};

TEST_F(TodoPageTest, OpensSortedByTextAndNamesAnEmptyNewTodo) {
    WriteTodoFile(meetingId, {{"beta", 2, 0}, {"alpha", 0, 1}, {"gamma", 1, 0}});
    Activate(*m_page);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"alpha", "beta", "gamma"}))
        << "the page does not open sorted by text";

    // OK on an untouched dialog: medium, not done, and the empty text named "No Subject".
    int runs = 0;
    ScriptDialog(
        TestServices(), "todoItemDialog", [](QDialog&) {}, &runs);
    Click(*m_page, "addButton");
    EXPECT_EQ(runs, 1);
    const int added = RowOf("No Subject");
    ASSERT_GE(added, 0) << "an empty new todo was not named No Subject";
    EXPECT_EQ(m_list->GetItem(added).priority, 1);
    EXPECT_EQ(m_list->GetItem(added).done, 0);

    // Emptying a todo's text with Mod leaves it empty; the box under the list follows.
    ClickRow(*m_list, RowOf("beta"));
    auto* box = m_page->findChild<QPlainTextEdit*>(QStringLiteral("todoTextBox"));
    EXPECT_EQ(box->toPlainText(), "beta");
    ScriptDialog(TestServices(), "todoItemDialog", [](QDialog& dialog) {
        auto& todo = static_cast<CTodoItemDialog&>(dialog);
        EXPECT_EQ(todo.GetText(), "beta");
        EXPECT_EQ(todo.GetPriority(), 2) << "Mod did not fill the dialog with the todo";
        Press(Qt::Key_A, Qt::ControlModifier);
        Press(Qt::Key_Delete);
    });
    Click(*m_page, "modButton");
    EXPECT_EQ(RowOf("beta"), -1);
    const int emptied = RowOf("");
    ASSERT_GE(emptied, 0) << "Mod named an emptied todo";
    EXPECT_EQ(m_list->GetItem(emptied).priority, 2);
    EXPECT_EQ(box->toPlainText(), "");
}

} // namespace
