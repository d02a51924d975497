#include "app/DateToolBar.h"
#include "app/LeftListView.h"
#include "app/SearchField.h"
#include "calendar/CalendarPage.h"
#include "calendar/FoundListGeometry.h"
#include "calendar/MeetingListCtrl.h"
#include "calendar/OpenTodoListCtrl.h"
#include "calendar/SearchResultsCtrl.h"
#include "editor/TodoListCtrl.h"
#include "editor/TodoPage.h"
#include "export/MeetingPreviewList.h"
#include "search/SearchKeeper.h"
#include "store/ContentFiles.h"
#include "store/MeetingFile.h"
#include "tests/support/FrameTest.h"
#include "tests/support/TodoPages.h"
#include "ui/CommandTable.h"

#include <QAction>
#include <QDialog>
#include <QTabWidget>

#include <chrono>
#include <thread>

namespace {
const std::string budget = "2026120109000010"; // 1 December 2026
const std::string review = "2026120314000010"; // 3 December 2026

class SearchUi : public CFrameTest {
protected:
    void SetUp() override {
        CFrameTest::SetUp();
        Store(budget, "Budget review", 1);
        Store(review, "Quarterly review", 3);
    }
    static void Store(const std::string& id, const char* title, int day) {
        CMeeting meeting = StoreMeeting(id, title, CDateTime(2026, 12, day, 9, 0, 0));
        meeting.venue = "Room 4";
        TestStore().ModifyMeeting(meeting);
    }

    // The main window, active, on the week of 1 December 2026 with the focus in the week.
    void ShowFrame() {
        MakeFrame();
        frame->resize(1100, 700);
        Activate(*frame);
        page().GoToDate(CDateTime(2026, 12, 1, 0, 0, 0));
        page().ShowMode(CCalendarPage::weekMode);
        page().GetList(CCalendarPage::weekMode)->setFocus(Qt::MouseFocusReason);
    }

    // Every search finds both meetings, newest first, and is noted.
    void FakeIndex() {
        frame->SetSearchFunctions(
            [this](std::string_view words, std::size_t) {
                asked.emplace_back(words);
                return std::vector<CSearchHit>{{review, "\x02review\x03 of the quarter"},
                                               {budget, "budget \x02review\x03"}};
            },
            TodoPages([this] { return openTodos; }));
    }

    CCalendarPage& page() const { return frame->GetCalendarPage(); }
    CSearchResultsCtrl& results() const { return page().GetSearchResults(); }
    CSearchField& field() const { return frame->GetSearchField(); }

    std::vector<std::string> asked;
    std::vector<COpenTodo> openTodos;
};

} // namespace

TEST_F(SearchUi, TypingSearchesEnterPreviewsAndEscapeGoesBack) {
    ShowFrame();
    FakeIndex();
    field().setText(QStringLiteral("earlier words"));

    // Ctrl+F from the calendar: the field, its words selected to be typed over.
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(QApplication::focusWidget(), &field());
    EXPECT_EQ(field().selectedText(), QStringLiteral("earlier words"));

    Type("revi");
    QApplication::processEvents();
    EXPECT_EQ(asked, std::vector<std::string>{"revi"}) << "keys typed together make one query";
    ASSERT_EQ(page().GetMode(), CCalendarPage::searchMode);
    ASSERT_EQ(results().GetRowCount(), 2);
    EXPECT_EQ(results().GetMarkedMeetingId(), review);
    EXPECT_EQ(QApplication::focusWidget(), &field()) << "the user goes on typing";
    // A space after the words is no new search.
    Type(" ");
    QApplication::processEvents();
    EXPECT_EQ(asked.size(), 1u);

    // Down: into the results; Down again and Enter previews the second hit.
    Press(Qt::Key_Down);
    ASSERT_EQ(QApplication::focusWidget(), &results());
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    ASSERT_EQ(page().GetMode(), CCalendarPage::previewMode);
    EXPECT_EQ(page().GetShownMeetingId(), budget);
    // Escape in the preview: back to the results, the hit still marked.
    Press(Qt::Key_Escape);
    ASSERT_EQ(page().GetMode(), CCalendarPage::searchMode);
    EXPECT_EQ(results().GetMarkedMeetingId(), budget);
    // Escape in the results: the week shown before the search, the words done with.
    Press(Qt::Key_Escape);
    EXPECT_EQ(page().GetMode(), CCalendarPage::weekMode);
    EXPECT_TRUE(field().text().isEmpty());

    // Enter in the field previews the marked hit, the first when none is marked (as after a
    // refresh that lost the marked meeting).
    Press(Qt::Key_F, Qt::ControlModifier);
    Type("budg");
    QApplication::processEvents();
    results().SetSelectionMark(-1);
    Press(Qt::Key_Return);
    ASSERT_EQ(page().GetMode(), CCalendarPage::previewMode);
    EXPECT_EQ(page().GetShownMeetingId(), review);

    // Emptying the field, or Escape in it, goes back.
    page().ShowMode(CCalendarPage::monthMode);
    Press(Qt::Key_F, Qt::ControlModifier);
    Type("b");
    QApplication::processEvents();
    ASSERT_EQ(page().GetMode(), CCalendarPage::searchMode);
    Press(Qt::Key_Backspace);
    QApplication::processEvents();
    EXPECT_EQ(page().GetMode(), CCalendarPage::monthMode);
    Type("b");
    QApplication::processEvents();
    Press(Qt::Key_Escape);
    EXPECT_EQ(page().GetMode(), CCalendarPage::monthMode);
    EXPECT_TRUE(field().text().isEmpty());
}

TEST_F(SearchUi, ATodoOpensItsMeetingOnTheTodoPage) {
    ShowFrame();
    openTodos = {{review, 0, "Send the minutes", 2}, {budget, 1, "Book the room", 1}};
    WriteTodoFile(budget, {{"Agenda", CTodoItem::low, 0}, {"Book the room", CTodoItem::medium, 0}});
    FakeIndex();
    frame->GetAction(CommandId::showTodos)->trigger();
    ASSERT_EQ(page().GetMode(), CCalendarPage::todosMode);
    EXPECT_EQ(frame->GetLeftPane().GetSelectionMark(), 4) << "the Todos button is marked";
    COpenTodoListCtrl& todos = page().GetOpenTodos();
    ASSERT_EQ(todos.GetRowCount(), 2);

    QString shownPage;
    int markedTodo = -1;
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& sheet) {
        auto* tabs = sheet.findChild<QTabWidget*>(QStringLiteral("sheetTabs"));
        auto* todoPage =
            tabs != nullptr ? qobject_cast<CTodoPage*>(tabs->currentWidget()) : nullptr;
        shownPage = todoPage != nullptr ? QStringLiteral("todos") : QStringLiteral("other");
        auto* list = todoPage != nullptr ? todoPage->findChild<CTodoListCtrl*>() : nullptr;
        markedTodo = list != nullptr ? list->GetSelectionMark() : -1;
        return int(QDialog::Rejected);
    });
    const QPoint text =
        FoundListGeometry::TodoRowLayout(1, todos.viewport()->width()).text.center();
    ClickAt(todos.viewport(), text, Qt::LeftButton, true);
    EXPECT_EQ(shownPage, QStringLiteral("todos"));
    EXPECT_EQ(markedTodo, 1) << "the todo opened is the marked one";
}

// The index itself: found by typing, and a todo marked done leaves the list, with the index's
// own refill during the write taken into account.
TEST_F(SearchUi, TheIndexFindsMeetingsAndTakesTodosDone) {
    WriteTodoFile(budget,
                  {{"Book the room", 1, 0}, {"Order coffee", 0, 1}, {"Print slides", 2, 0}});
    WriteTodoFile(review, {{"Send the minutes", 2, 0}});
    {
        CSearchKeeper keeper;
        keeper.Open(Folder());
        for (int i = 0; i < 20000 && !keeper.IsUpToDate(); ++i) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(keeper.IsUpToDate());
        ShowFrame();
        frame->SetSearchKeeper(&keeper);

        Press(Qt::Key_F, Qt::ControlModifier);
        Type("quart rev");
        QApplication::processEvents();
        ASSERT_EQ(results().GetRowCount(), 1);
        EXPECT_EQ(results().GetMeetingId(0), review);

        frame->GetAction(CommandId::showTodos)->trigger();
        COpenTodoListCtrl& todos = page().GetOpenTodos();
        ASSERT_EQ(todos.GetRowCount(), 3);
        // Highest priority first, then the earlier meeting.
        ASSERT_EQ(todos.GetTodo(0).text, "Print slides");
        ASSERT_EQ(todos.GetTodo(1).text, "Send the minutes");
        todos.setFocus(Qt::MouseFocusReason);
        todos.SetSelectionMark(0);
        Press(Qt::Key_Space);
        EXPECT_EQ(
            FileBytes(ContentFilePath(ContentKind::todos, budget)),
            EncodeTodos({{"Book the room", 1, 0}, {"Order coffee", 0, 1}, {"Print slides", 2, 1}}));
        ASSERT_EQ(todos.GetRowCount(), 2) << "only the todo marked done left the list";
        EXPECT_EQ(todos.GetTodo(0).text, "Send the minutes");
        EXPECT_EQ(todos.GetTodo(1).text, "Book the room");
        frame.reset();
    }
}
