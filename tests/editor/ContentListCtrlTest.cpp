#include "editor/AgendaListCtrl.h"
#include "editor/AttendeeListCtrl.h"
#include "editor/ContentListGeometry.h"
#include "editor/MinutesListCtrl.h"
#include "editor/TodoHeaderCtrl.h"
#include "editor/TodoListCtrl.h"
#include "tests/editor/EditorTestSupport.h"
#include "ui/TextConversion.h"

#include <QLineEdit>

#include <cstring>
#include <fstream>

namespace {

const std::string id = "2004030514070910";

// The bytes of the content files, put together by hand.
std::string Time(int hour, int minute, int day = 5) {
    const double count = CDateTime(2004, 3, day, hour, minute, 0).GetDayCount();
    std::string bytes = Int32(0) + std::string(8, '\0');
    std::memcpy(bytes.data() + 4, &count, 8);
    return bytes;
}
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

TEST_F(ContentList, EachListSavesTheBytesItLoaded) {
    const std::string agenda = Int32(3) + Time(9, 5, 1) + Str("Open\r\nand welcome") + Time(9, 30) +
                               Str("") + Time(14, 0, 9) + Str("Close");
    const std::string attendees = Int32(3) + Str(" Ann ") + Str("B\xe9la") + Str("Carl");
    const std::string minutes = Int32(2) + Str("Budget\r\nagreed") + Str("Next: May");
    // In text order, as the todo list sorts itself when it loads.
    const std::string todos =
        Int32(3) + Todo(2, 1, "abc") + Todo(7, 0, "book room") + Todo(0, 9, "call");
    Put("agenda" + id + ".agd", agenda);
    Put("Attendees" + id + ".atn", attendees);
    Put("kes" + id + ".kes", minutes);
    Put("todo" + id + ".tdo", todos);

    CAgendaListCtrl agendaList(id);
    CAttendeeListCtrl attendeeList(id);
    CMinutesListCtrl minutesList(id);
    CTodoListCtrl todoList(id);
    agendaList.Load();
    attendeeList.Load();
    minutesList.Load();
    todoList.Load();
    EXPECT_EQ(Texts(agendaList), (Names{"Open\r\nand welcome", "", "Close"}));
    EXPECT_EQ(Texts(attendeeList), (Names{" Ann ", "B\xe9la", "Carl"}));
    EXPECT_EQ(Texts(todoList), (Names{"abc", "book room", "call"}));
    EXPECT_EQ(todoList.GetItem(1).priority, 7) << "an unknown priority is kept";

    for (const char* name : {"agenda", "Attendees", "kes", "todo"}) {
        std::filesystem::remove_all(Folder() / name);
    }
    agendaList.Save();
    attendeeList.Save();
    minutesList.Save();
    todoList.Save();
    EXPECT_EQ(Get("agenda" + id + ".agd"), agenda);
    EXPECT_EQ(Get("Attendees" + id + ".atn"), attendees);
    EXPECT_EQ(Get("kes" + id + ".kes"), minutes);
    EXPECT_EQ(Get("todo" + id + ".tdo"), todos);
}

TEST_F(ContentList, AnAttendeeIsRenamedInPlaceButNeverToBlanks) {
    Put("Attendees" + id + ".atn", Int32(2) + Str("Ann") + Str("Bob"));
    CAttendeeListCtrl attendees(id);
    Show(attendees);
    attendees.Load();
    // Types over the open editor, which must hold the focus; Ctrl+A first replaces the name.
    const auto typeInEditor = [](const QString& text, bool replace = true) {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "the editor does not hold the focus";
        if (replace) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        }
        QTest::keyClicks(editor, text);
    };

    // A click marks the row; a second click on the marked name opens the editor.
    ClickRow(attendees, 1);
    EXPECT_FALSE(attendees.IsEditing());
    ClickRow(attendees, 1);
    ASSERT_TRUE(attendees.IsEditing());
    typeInEditor(" Robert ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(attendees.IsEditing());
    EXPECT_EQ(attendees.GetItem(1), " Robert ") << "the name is kept as typed, blanks too";
    EXPECT_EQ(QApplication::focusWidget(), &attendees);

    // F2 edits too; blanks only leave the old name, and so does Escape.
    QTest::keyClick(&attendees, Qt::Key_F2);
    typeInEditor("   ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(attendees.GetItem(1), " Robert ") << "a name of blanks was stored";
    ASSERT_TRUE(attendees.EditMarked());
    typeInEditor("xyz", false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(attendees.GetItem(1), " Robert ") << "Escape stored the name";

    // Leaving the editor for another row keeps what was typed.
    QTest::keyClick(&attendees, Qt::Key_F2);
    typeInEditor("Rob");
    ClickRow(attendees, 0);
    EXPECT_EQ(attendees.GetItem(1), "Rob");
    EXPECT_FALSE(attendees.IsEditing()) << "a click on a row not marked before does not edit";

    // Up while the editor is open (a button's shortcut keeps the focus there) moves the
    // name as typed.
    ClickRow(attendees, 1);
    ASSERT_TRUE(attendees.EditMarked());
    typeInEditor("Bob");
    ASSERT_TRUE(attendees.MoveUp());
    EXPECT_EQ(Texts(attendees), (Names{"Bob", "Ann"}));
    EXPECT_FALSE(attendees.IsEditing());

    EXPECT_FALSE(attendees.Add("")) << "only an empty name is refused";
    EXPECT_TRUE(attendees.Add("  "));
    attendees.Save();
    EXPECT_EQ(Get("Attendees" + id + ".atn"), Int32(3) + Str("Bob") + Str("Ann") + Str("  "));
}

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
