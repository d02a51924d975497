#include "ui/ListBase.h"
#include "tests/support/WidgetDriving.h"
#include "ui/ListNavigation.h"

#include <QPainter>
#include <QScrollBar>

#include <string>
#include <vector>

namespace {

constexpr int cellWidth = 40;
constexpr int cellHeight = 30;

// Items of 40 x 30 pixels in rows of `columns`, numbered in reading order. Every hook the
// base calls is written down, so a test sees what reached the list.
class CTestList : public CListBase {
public:
    CTestList(int count, int columns) : m_count(count), m_columns(columns) {
        resize(columns * cellWidth + 2 * frameWidth() + 30, 100 + 2 * frameWidth());
        UpdateScrollRange();
    }

    std::vector<std::string> Take() { return std::exchange(calls, {}); }
    QPoint GlobalAnchor(int item) const {
        return viewport()->mapToGlobal(MenuAnchor(item) - QPoint(0, ScrollPosition()));
    }
    bool Shows(int item) const { return viewport()->rect().contains(ViewportRect(item)); }

    std::vector<std::string> calls;
    QPoint menuPos;

protected:
    int ItemCount() const override { return m_count; }
    int ColumnCount() const override { return m_columns; }
    QRect ItemRect(int item) const override {
        return QRect(item % m_columns * cellWidth, item / m_columns * cellHeight, cellWidth,
                     cellHeight);
    }
    int HitTest(const QPoint& pos) const override {
        if (pos.x() < 0 || pos.x() >= m_columns * cellWidth || pos.y() < 0) {
            return -1;
        }
        const int item = pos.y() / cellHeight * m_columns + pos.x() / cellWidth;
        return item < m_count ? item : -1;
    }
    int ContentHeight() const override {
        return (m_count + m_columns - 1) / m_columns * cellHeight;
    }
    void PaintItem(QPainter&, int, const QRect&) const override {}
    void ActivateItem(int item) override { Note("activate", item); }
    void DeleteItem(int item) override { Note("delete", item); }
    void OpenContextMenu(int item, const QPoint& globalPos) override {
        Note("menu", item);
        menuPos = globalPos;
    }

private:
    void Note(const char* what, int item) {
        calls.push_back(std::string(what) + " " + std::to_string(item));
    }

    int m_count;
    int m_columns;
};

class ListBaseTest : public CQtTest {
protected:
    // A list of `count` items, shown, active and focused, so that key presses reach it.
    CTestList& Show(int count, int columns) {
        list = std::make_unique<CTestList>(count, columns);
        Activate(*list);
        FocusOn(*list);
        return *list;
    }
    // Presses keys on whichever widget has the focus; the mark after the last.
    int Press(std::initializer_list<Qt::Key> keys,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        for (const Qt::Key key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        }
        return list->GetSelectionMark();
    }

    std::unique_ptr<CTestList> list;
};

} // namespace

TEST_F(ListBaseTest, KeysMoveTheMarkByRowAndKeepItInView) {
    CTestList& rows = Show(20, 1); // three whole rows to a page
    EXPECT_EQ(Press({Qt::Key_Up}), 0) << "without a mark, a move starts at the first row";
    EXPECT_EQ(Press({Qt::Key_Up}), 0) << "Up stops at the first row";
    EXPECT_EQ(Press({Qt::Key_Down, Qt::Key_Up}), 0) << "Up from the second row reaches the first";
    EXPECT_EQ(Press({Qt::Key_End}), 19);
    EXPECT_TRUE(rows.Shows(19)) << "scrolled " << rows.verticalScrollBar()->value();
    EXPECT_EQ(Press({Qt::Key_Down}), 19) << "Down stops at the last row";
    EXPECT_EQ(Press({Qt::Key_PageUp}), 16);
    EXPECT_EQ(Press({Qt::Key_Home}), 0);
    EXPECT_EQ(rows.verticalScrollBar()->value(), 0);
    EXPECT_EQ(Press({Qt::Key_PageDown, Qt::Key_PageDown}), 6);
    EXPECT_TRUE(rows.Shows(6));
    EXPECT_EQ(Press({Qt::Key_Left, Qt::Key_Right}), 6) << "a list of rows has no columns";
    EXPECT_TRUE(rows.calls.empty());
}

TEST_F(ListBaseTest, KeysMoveTheMarkByCellInAGrid) {
    CTestList& grid = Show(40, 7); // six rows, the last one of five cells
    EXPECT_EQ(Press({Qt::Key_Right}), 0);
    EXPECT_EQ(Press({Qt::Key_Right, Qt::Key_Down}), 8);
    EXPECT_EQ(Press({Qt::Key_Left}), 7) << "Left goes one cell";
    EXPECT_EQ(Press({Qt::Key_Left}), 6) << "and on into the row above";
    EXPECT_EQ(Press({Qt::Key_Up}), 6) << "Up stops in the first row";
    EXPECT_EQ(Press({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down}), 34)
        << "Down stops above a cell the last row lacks";
    EXPECT_TRUE(grid.Shows(34)) << "scrolled " << grid.verticalScrollBar()->value();
    EXPECT_EQ(Press({Qt::Key_PageUp}), 13) << "Page Up keeps the column";
    EXPECT_EQ(Press({Qt::Key_End}), 39);
    EXPECT_EQ(Press({Qt::Key_Right}), 39) << "Right stops at the last cell";
    EXPECT_EQ(Press({Qt::Key_PageDown}), 39);

    EXPECT_EQ(ListNavigation::MoveTarget(Qt::Key_PageDown, 20, 40, 7, 3), 34)
        << "a page down into a missing cell lands in the row above";
    EXPECT_EQ(ListNavigation::MoveTarget(Qt::Key_Down, -1, 0, 7, 3), -1) << "no cells";
}

TEST_F(ListBaseTest, EnterDeleteAndTheMenuKeysReachTheListForTheMarkedItem) {
    CTestList& rows = Show(20, 1);
    Press({Qt::Key_Return, Qt::Key_Delete, Qt::Key_Menu});
    EXPECT_TRUE(rows.Take().empty()) << "without a mark the keys do nothing";

    rows.SetSelectionMark(12);
    rows.verticalScrollBar()->setValue(0);
    Press({Qt::Key_Return, Qt::Key_Enter, Qt::Key_Delete, Qt::Key_Menu});
    EXPECT_EQ(rows.menuPos, rows.GlobalAnchor(12));
    EXPECT_TRUE(rows.Shows(12)) << "the menu key brings its item into view first";
    Press({Qt::Key_F10}, Qt::ShiftModifier);
    Press({Qt::Key_F10});
    EXPECT_EQ(rows.Take(), (std::vector<std::string>{"activate 12", "activate 12", "delete 12",
                                                     "menu 12", "menu 12"}));
}
