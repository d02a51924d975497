#pragma once

#include "editor/ContentListCtrl.h"
#include "editor/TodoSort.h"
#include "store/TodoItem.h"

#include <vector>

class CTodoHeaderCtrl;

// The todos: a priority picture, a done picture and the text in three columns under a
// header. A click on a row's priority steps it (low, medium, high, low), a click on its done
// picture toggles it; neither moves the row. A click on a column's header sorts by that
// column. Add, ModifyMarked and DeleteMarked sort again by the last sort; Up and Down order
// by hand until the next sort.
class CTodoListCtrl : public CContentListCtrl {
    Q_OBJECT

public:
    explicit CTodoListCtrl(std::string meetingId, QWidget* parent = nullptr);

    // Reads the todo file and sorts by text, ascending, whatever order the file holds.
    void Load() override;
    // Writes the rows in their order as shown.
    void Save() const override;

    const CTodoItem& GetItem(int row) const;
    // The marked todo, nullptr when no row is marked.
    const CTodoItem* GetMarkedItem() const;

    // Appends a todo as given, then sorts by the last sort.
    void Add(CTodoItem item);
    // Replaces the marked todo, then sorts by the last sort; false without a mark.
    bool ModifyMarked(CTodoItem item);
    bool DeleteMarked() override;

    // Sorts with a sort code (TodoSort.h) and keeps it for later sorts; the mark follows
    // its todo.
    void Sort(int code);
    int GetSortCode() const { return m_sortCode; }

    CTodoHeaderCtrl* GetHeader() const { return m_header; }

    using CContentListCtrl::MoveDown;
    using CContentListCtrl::MoveUp;

protected:
    int ItemCount() const override { return static_cast<int>(m_items.size()); }
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    // Around the text column, the one part of the row that shows the mark.
    QRect FocusFrameRect(int row) const override;
    void SwapRecords(int first, int second) override;
    void RemoveRecord(int row) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<CTodoItem> m_items;
    int m_sortCode = TodoSort::textAscending;
    CTodoHeaderCtrl* m_header = nullptr;
};
