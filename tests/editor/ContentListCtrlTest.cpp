#include "editor/ContentListGeometry.h"
#include "editor/TodoHeaderCtrl.h"
#include "editor/TodoListCtrl.h"
#include "tests/editor/EditorTestSupport.h"

#include <fstream>

namespace {

const std::string id = "2004030514070910";

std::string Todo(int priority, int done, const std::string& text) {
    return Int32(priority) + Int32(done) + Str(text);
}

class ContentList : public CQtTest {
protected:
    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(Folder() / name, std::ios::binary) << bytes;
    }
    std::string Get(const std::string& name) { return FileBytes(Folder() / name); }

    // Shows the list with keyboard focus, as a page shows it.
    void Show(CContentListCtrl& list) {
        list.resize(320, 200);
        Activate(list);
        list.setFocus(Qt::OtherFocusReason);
    }
    // A click at a point of a row: x from the row's left, y its middle.
    void ClickRow(CContentListCtrl& list, int row, int x = 100) {
        const QRect rect = list.ViewportRect(row);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(x, rect.center().y()));
    }
};

template <typename List> std::vector<std::string> Texts(const List& list) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        texts.push_back(ItemText(list.GetItem(row)));
    }
    return texts;
}

using Names = std::vector<std::string>;

} // namespace

TEST_F(ContentList, ClicksOnATodosPicturesChangeItWithoutMovingTheRow) {
    Put("todo" + id + ".tdo",
        Int32(3) + Todo(2, 0, "alpha") + Todo(0, 1, "beta") + Todo(1, 0, "gamma"));
    CTodoListCtrl todos(id);
    Show(todos);
    todos.Load();
    todos.Sort(TodoSort::priorityHighFirst);
    ASSERT_EQ(Texts(todos), (Names{"alpha", "gamma", "beta"}));

    // On the pictures themselves: 16 pixels at each column's left.
    const int priorityImage = 8;
    const int doneImage = ContentListGeometry::todoPictureColumnWidth + 8;
    ClickRow(todos, 0, priorityImage);
    EXPECT_EQ(todos.GetItem(0).priority, 0) << "high steps round to low";
    EXPECT_EQ(todos.GetItem(0).text, "alpha") << "the row stays where it is";
    EXPECT_EQ(todos.GetSelectionMark(), 0) << "the click marks the row too";
    ClickRow(todos, 0, priorityImage);
    EXPECT_EQ(todos.GetItem(0).priority, 1);
    ClickRow(todos, 2, doneImage);
    EXPECT_EQ(todos.GetItem(2).done, 0);
    ClickRow(todos, 2, doneImage);
    EXPECT_EQ(todos.GetItem(2).done, 1);
    ClickRow(todos, 1, 150);
    EXPECT_EQ(todos.GetItem(1), (CTodoItem{"gamma", 1, 0})) << "the text column changes nothing";
    EXPECT_EQ(Texts(todos), (Names{"alpha", "gamma", "beta"}));
}

TEST_F(ContentList, HeaderClicksSortTheTodosAndAddSortsAgain) {
    Put("todo" + id + ".tdo", Int32(3) + Todo(0, 1, "cut") + Todo(2, 0, "buy") + Todo(1, 0, "ask"));
    CTodoListCtrl todos(id);
    Show(todos);
    todos.Load();
    CTodoHeaderCtrl* header = todos.GetHeader();
    EXPECT_EQ(Texts(todos), (Names{"ask", "buy", "cut"})) << "opens in text order";
    EXPECT_EQ(header->GetImages(), (TodoSort::CHeaderImages{2, 5, 6}));

    const auto clickColumn = [&](int column) {
        QTest::mouseClick(header, Qt::LeftButton, {}, header->ColumnRect(column).center());
    };
    clickColumn(0);
    EXPECT_EQ(Texts(todos), (Names{"buy", "ask", "cut"})) << "high first";
    clickColumn(0);
    EXPECT_EQ(Texts(todos), (Names{"cut", "ask", "buy"})) << "low first";
    clickColumn(0);
    EXPECT_EQ(Texts(todos), (Names{"buy", "ask", "cut"})) << "high first again";
    EXPECT_EQ(todos.GetSortCode(), TodoSort::priorityHighFirst);

    // Added and changed todos take their place in the last sort; the mark follows its todo.
    ClickRow(todos, 2);
    todos.Add({"do", 2, 0});
    EXPECT_EQ(Texts(todos), (Names{"buy", "do", "ask", "cut"}));
    EXPECT_EQ(todos.GetMarkedItem()->text, "cut");
    ASSERT_TRUE(todos.ModifyMarked({"cut", 2, 1}));
    EXPECT_EQ(Texts(todos), (Names{"buy", "do", "cut", "ask"}));
    EXPECT_EQ(todos.GetSelectionMark(), 2);

    // Up orders by hand and the file keeps it.
    ASSERT_TRUE(todos.MoveUp());
    todos.Save();
    CTodoListCtrl reopened(id);
    reopened.Load();
    EXPECT_EQ(Texts(reopened), (Names{"ask", "buy", "cut", "do"})) << "reopens in text order";
    EXPECT_EQ(Get("todo" + id + ".tdo"), Int32(4) + Todo(2, 0, "buy") + Todo(2, 1, "cut") +
                                             Todo(2, 0, "do") + Todo(1, 0, "ask"));
}
