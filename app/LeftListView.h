#pragma once

#include "ui/ImageStrip.h"
#include "ui/ListBase.h"

// The left pane: five picture buttons that switch the calendar to its agenda, day, week and
// month modes and to the open todos. It has the same sunken frame as the panes beside it.
class CLeftListView : public CListBase {
    Q_OBJECT

public:
    static constexpr int itemCount = 5;

    // The calendar mode a button shows.
    static int ModeOfButton(int row);
    // The button of a calendar mode, -1 for a mode without one.
    static int ButtonOfMode(int mode);

    explicit CLeftListView(QWidget* parent = nullptr);

    // Marks the button of the calendar mode on show; a mode without a button marks none.
    void SetCurrentMode(int mode);

    QSize sizeHint() const override;

signals:
    void modeRequested(int mode);

protected:
    int ItemCount() const override { return itemCount; }
    QRect ItemRect(int row) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    // Up and Down go round from the last button to the first and back.
    int MoveTarget(int key, int mark) const override;
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    QRect FocusFrameRect(int row) const override;
    void PressItem(int row) override;
    void DoubleClickItem(int row) override;
    void ActivateItem(int row) override;
    void HoverItem(int row) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CImageStrip m_images;
    int m_currentButton = -1;
};
