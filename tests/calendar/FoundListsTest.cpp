#include "calendar/FoundListGeometry.h"
#include "calendar/OpenTodoListCtrl.h"
#include "calendar/SearchResultsCtrl.h"
#include "calendar/TodoDone.h"
#include "store/ContentFiles.h"
#include "tests/calendar/FakeMeetingCommands.h"
#include "tests/support/FailingFileCalls.h"
#include "tests/support/TodoPages.h"
#include "tests/support/WidgetDriving.h"

#include <fstream>

namespace {

const std::string older = "2024030109001210"; // 1 March 2024
const std::string newer = "2024060114000010"; // 1 June 2024
const std::string gone = "2023010109000010";  // in the index, no longer in the store

std::string TodoBytes(const std::string& id) {
    return FileBytes(ContentFilePath(ContentKind::todos, id));
}

// Three todos of one meeting: the middle one is done.
std::vector<CTodoItem> ThreeTodos() {
    return {{"Send the minutes", CTodoItem::high, 0},
            {"Book the room", CTodoItem::low, 1},
            {"Call the caterer", CTodoItem::medium, 0}};
}

} // namespace

class TodoDone : public CQtTest {};

TEST_F(TodoDone, AFileChangedBehindIsLeftAlone) {
    WriteTodoFile(newer, ThreeTodos());
    const std::string before = TodoBytes(newer);
    const struct {
        COpenTodo todo;
        const char* why;
    } stale[] = {
        {{newer, 1, "Book the room", 0}, "done already"},
        {{newer, 0, "Call the caterer", 1}, "another todo at that place"},
        {{newer, 2, "Call the", 1}, "text changed"},
        {{newer, 3, "Call the caterer", 1}, "past the end"},
        {{older, 0, "Send the minutes", 2}, "no todo file"},
    };
    for (const auto& item : stale) {
        EXPECT_EQ(MarkTodoDone(item.todo), TodoMarkResult::stale) << item.why;
        EXPECT_EQ(TodoBytes(newer), before) << item.why;
    }
    EXPECT_FALSE(std::filesystem::exists(ContentFilePath(ContentKind::todos, older)));
}

TEST_F(TodoDone, AFileThatDoesNotReadBackWholeIsNotRewritten) {
    const std::string whole = EncodeTodos(ThreeTodos());
    for (const std::string& damaged : {whole + "trailing", whole.substr(0, whole.size() - 3)}) {
        std::ofstream(ContentFilePath(ContentKind::todos, newer), std::ios::binary) << damaged;
        EXPECT_EQ(MarkTodoDone({newer, 0, "Send the minutes", 2}), TodoMarkResult::damaged);
        EXPECT_EQ(TodoBytes(newer), damaged) << "what could not be read would be lost";
    }
}

class FoundLists : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        PutMeeting(older, CDateTime(2024, 3, 1, 9, 0, 0));
        PutMeeting(newer, CDateTime(2024, 6, 1, 14, 0, 0));
    }

    void Show(QWidget& list) {
        list.resize(500, 400);
        Activate(list);
        FocusOn(list);
    }
    // The open todos, shown and focused, handed out in pages from what `all` gives.
    COpenTodoListCtrl& ShowTodos(std::function<std::vector<COpenTodo>()> all) {
        todoList = std::make_unique<COpenTodoListCtrl>(TestStore(), TestServices());
        todoList->SetSource(TodoPages(std::move(all)));
        Show(*todoList);
        todoList->Refresh();
        return *todoList;
    }
    void TearDown() override {
        todoList.reset();
        CQtTest::TearDown();
    }

    std::unique_ptr<COpenTodoListCtrl> todoList;
};

// A list longer than a page: End marks the last row, the next page comes below it once control
// is back in the event loop, each todo once and in order, to the end; a refresh after a write
// asks for as many todos as were given, the mark staying on its row.
TEST_F(FoundLists, LaterTodosComePageByPageAfterEnd) {
    std::vector<COpenTodo> open;
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < 1200; ++i) {
        // The first page ends in todos of a meeting the store no longer holds.
        const bool lost = i >= 495 && i < 500;
        open.push_back({lost         ? gone
                        : i % 2 == 0 ? newer
                                     : older,
                        i, "Todo " + std::to_string(i), CTodoItem::medium});
        if (!lost) {
            shown.push_back(open.back().text);
        }
    }
    std::vector<std::size_t> limits;
    const auto pages = TodoPages([&open] { return open; });
    COpenTodoListCtrl list(TestStore(), TestServices());
    list.SetSource([&](const COpenTodo* after, std::size_t limit) {
        limits.push_back(limit);
        return pages(after, limit);
    });
    Show(list);
    list.Refresh();
    ASSERT_EQ(list.GetRowCount(), 495);
    ASSERT_TRUE(list.HasMore());

    Press(Qt::Key_End);
    EXPECT_EQ(list.GetRowCount(), 495) << "the next page waits for the event loop";
    QApplication::processEvents();
    ASSERT_EQ(list.GetRowCount(), 995);
    EXPECT_EQ(list.GetSelectionMark(), 494) << "the mark stays where the user put it";
    EXPECT_EQ(list.GetTodo(495).text, "Todo 500");
    Press(Qt::Key_End);
    QApplication::processEvents();
    EXPECT_FALSE(list.HasMore());
    Press(Qt::Key_End);
    QApplication::processEvents();
    EXPECT_EQ(limits, (std::vector<std::size_t>{500, 500, 500})) << "nothing more to ask for";
    std::vector<std::string> texts;
    for (int row = 0; row < list.GetRowCount(); ++row) {
        texts.push_back(list.GetTodo(row).text);
    }
    EXPECT_EQ(texts, shown) << "every todo once, in order";

    open.erase(open.begin());
    list.SetSelectionMark(1100);
    list.Refresh();
    EXPECT_EQ(limits.back(), 1200u);
    EXPECT_EQ(list.GetRowCount(), 1194);
    EXPECT_EQ(list.GetSelectionMark(), 1100);
}

TEST_F(FoundLists, ClickOrSpaceMarksATodoDoneInItsFile) {
    WriteTodoFile(newer, ThreeTodos());
    WriteTodoFile(older, {{"Draft the budget", CTodoItem::medium, 0}});
    std::vector<COpenTodo> open = {{newer, 0, "Send the minutes", CTodoItem::high},
                                   {gone, 0, "Lost", CTodoItem::high},
                                   {newer, 2, "Call the caterer", CTodoItem::medium},
                                   {older, 0, "Draft the budget", CTodoItem::medium}};
    COpenTodoListCtrl& list = ShowTodos([&open] { return open; });
    ASSERT_EQ(list.GetRowCount(), 3) << "a meeting gone from the store has no todos to offer";
    EXPECT_EQ(list.GetShownRow(0).text, QStringLiteral("Send the minutes"));
    EXPECT_TRUE(list.GetShownRow(2).meeting.startsWith(QStringLiteral("Meeting ") +
                                                       QString::fromStdString(older)));

    // A click on the second row's done picture.
    const QRect done = FoundListGeometry::TodoRowLayout(1, list.viewport()->width()).done;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, done.center());
    std::vector<CTodoItem> expected = ThreeTodos();
    expected[2].done = 1;
    EXPECT_EQ(TodoBytes(newer), EncodeTodos(expected)) << "only that todo's done flag changed";
    ASSERT_EQ(list.GetRowCount(), 2) << "the todo left the list";
    EXPECT_EQ(list.GetTodo(1).meetingId, older);

    // Space on the marked row: the older meeting's todo.
    list.SetSelectionMark(1);
    Press(Qt::Key_Space);
    EXPECT_EQ(TodoBytes(older), EncodeTodos({{"Draft the budget", CTodoItem::medium, 1}}));
    EXPECT_EQ(TodoBytes(newer), EncodeTodos(expected));
    EXPECT_TRUE(TestServices().Shown().isEmpty());
}

TEST_F(FoundLists, AStaleTodoChangesNothingAndTheListIsAskedAgain) {
    WriteTodoFile(newer, ThreeTodos());
    int asked = 0;
    std::vector<COpenTodo> open = {{newer, 0, "Send the minutes", CTodoItem::high}};
    COpenTodoListCtrl& list = ShowTodos([&] {
        ++asked;
        return open;
    });
    // Behind the list's back the todo was done and the list reordered.
    std::vector<CTodoItem> changed = ThreeTodos();
    std::swap(changed[0], changed[2]);
    WriteTodoFile(newer, changed);
    open = {{newer, 2, "Send the minutes", CTodoItem::high}};

    list.SetSelectionMark(0);
    Press(Qt::Key_Space);
    EXPECT_EQ(TodoBytes(newer), EncodeTodos(changed));
    EXPECT_EQ(asked, 2) << "the list asks again";
    EXPECT_EQ(list.GetTodo(0).position, 2u);
    EXPECT_TRUE(TestServices().Shown().isEmpty());
}

TEST_F(FoundLists, AFileThatCannotBeWrittenOrReadWholeIsReported) {
    WriteTodoFile(newer, ThreeTodos());
    const std::string before = TodoBytes(newer);
    COpenTodoListCtrl& list = ShowTodos([] {
        return std::vector<COpenTodo>{{newer, 0, "Send the minutes", 2}};
    });
    list.SetSelectionMark(0);

    {
        CFailingScope<CNoWriteCalls> refuse;
        Press(Qt::Key_Space);
    }
    EXPECT_EQ(TodoBytes(newer), before);
    ASSERT_EQ(TestServices().Shown().size(), 1);
    const QString fileName =
        QString::fromStdString(ContentFilePath(ContentKind::todos, newer).filename().string());
    EXPECT_TRUE(TestServices().Shown().front().contains(fileName))
        << TestServices().Shown().front().toStdString();
    EXPECT_EQ(list.GetRowCount(), 1) << "the todo is still open";

    std::ofstream(ContentFilePath(ContentKind::todos, newer), std::ios::binary) << before << "xx";
    Press(Qt::Key_Space);
    ASSERT_EQ(TestServices().Shown().size(), 2);
    EXPECT_TRUE(TestServices().Shown().back().contains(fileName));
    EXPECT_EQ(TodoBytes(newer), before + "xx");
}

// A search the index answers later keeps the rows, the mark and the place shown, and no "No
// meetings match" in between; a new search answered later starts from its top row.
TEST_F(FoundLists, ASearchAnsweredLaterKeepsWhatShowsUntilItComes) {
    CFakeMeetingCommands commands;
    CSearchResultsCtrl list(TestStore(), commands);
    bool later = false;
    list.SetSource([&](std::string_view, std::size_t) -> std::optional<std::vector<CSearchHit>> {
        if (later) {
            return std::nullopt;
        }
        return std::vector<CSearchHit>{{newer, "n"}, {older, "o"}};
    });
    Show(list);
    list.Search("budget");
    QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_EQ(list.GetMarkedMeetingId(), older);
    for (const bool newSearch : {false, true}) {
        later = true;
        newSearch ? list.Search("cuts") : list.Refresh();
        EXPECT_EQ(list.GetRowCount(), 2) << newSearch;
        EXPECT_EQ(list.GetMarkedMeetingId(), older) << newSearch;
        later = false;
        list.Refresh(); // the answer has come
        EXPECT_EQ(list.GetMarkedMeetingId(), newSearch ? newer : older) << newSearch;
    }
}
