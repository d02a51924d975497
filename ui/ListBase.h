#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

// The base of every list the program paints itself, in rows or in cells. A list gives its
// items' rectangles from its own pure layout and paints one item at a time; the base scrolls
// vertically, keeps the selection mark, moves it with the keyboard, draws the focus frame,
// shows tooltips, tells a click from a drag and hands Enter, Delete, the menu keys and the
// mouse to the list's hooks. Content coordinates run from the top of the first row; the
// viewport shows them shifted by the scroll position.
class CListBase : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CListBase(QWidget* parent = nullptr);

    // The marked item, -1 when none. Marking an item outside the list clears the mark.
    int GetSelectionMark() const { return m_selectionMark; }
    void SetSelectionMark(int item);
    bool IsItem(int item) const { return item >= 0 && item < ItemCount(); }

    // Scrolls as little as needed for the whole of `item` to show.
    void ScrollTo(int item);
    // The item under a point of the viewport, -1 for none.
    int ItemAtViewport(const QPoint& pos) const;
    // An item's rectangle as the viewport shows it now.
    QRect ViewportRect(int item) const;

signals:
    void SelectionMarkChanged(int mark);

protected:
    // --- Layout: what the list shows where, for the viewport's width as it is now.
    virtual int ItemCount() const = 0;
    virtual QRect ItemRect(int item) const = 0;
    // The item at a content point, -1 for none.
    virtual int HitTest(const QPoint& contentPos) const = 0;
    virtual int ContentHeight() const = 0;
    // Items per row: more than one makes Left and Right move the mark (a grid of cells).
    virtual int ColumnCount() const { return 1; }
    // The items that may meet the content band [top, bottom): first and one past the last.
    // All of them unless the list narrows the range (a long list should).
    struct CItemRange {
        int first = 0;
        int end = 0;
    };
    virtual CItemRange ItemsToPaint(int top, int bottom) const;
    // Called when the viewport's size changed, before the scroll range is set again.
    virtual void LayoutItems() {}
    // Where a movement key takes the mark (ListNavigation::notAMove lets the key pass on).
    virtual int MoveTarget(int key, int mark) const;

    // --- Painting. The painter is in content coordinates, with the viewport's white base
    // already laid down.
    virtual void PaintItem(QPainter& painter, int item, const QRect& rect) const = 0;
    // What lies around and between the items (headers, grid lines, hour labels), painted after
    // them; `band` is the part of the content in view.
    virtual void PaintDecoration(QPainter& painter, const QRect& band) const;
    // What an empty list shows, in viewport coordinates.
    virtual void PaintEmpty(QPainter& painter) const;
    // Where the focus frame goes around the marked item; without a mark it goes around the
    // whole viewport.
    virtual QRect FocusFrameRect(int item) const;
    virtual QString ItemToolTip(int item) const;

    // --- What the user does to items. `item` is -1 where no item is hit.
    // A left button press; by default it marks the item, or clears the mark off the items.
    virtual void PressItem(int item);
    // A left double click; by default it activates the marked item.
    virtual void DoubleClickItem(int item);
    // Enter on the marked item.
    virtual void ActivateItem(int item);
    // Delete on the marked item.
    virtual void DeleteItem(int item);
    // A right click, or the Menu key or Shift+F10 on the marked item, at a global position.
    virtual void OpenContextMenu(int item, const QPoint& globalPos);
    // Where the keyboard opens the context menu of an item, in content coordinates.
    virtual QPoint MenuAnchor(int item) const;
    // The mouse moved over the viewport (to set a cursor, say).
    virtual void HoverItem(int item);
    // The mouse moved far enough with the left button held down on `item`.
    virtual void StartDrag(int item);

    // Sets the scroll range and page for the content as it is now, and repaints; a list calls
    // it whenever its items changed.
    void UpdateScrollRange();
    int ScrollPosition() const;
    // Whole rows of the marked item's height that fit in the viewport, at least one.
    int RowsPerPage() const;

    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int m_selectionMark = -1;
    // The item a left press landed on, until the button is released or a drag starts.
    int m_pressItem = -1;
    QPoint m_pressPos;
};
