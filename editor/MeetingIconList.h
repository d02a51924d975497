#pragma once

#include "ui/ImageStrip.h"
#include "ui/ListBase.h"

// The 72 meeting icons as a grid of cells, in strip order. The selection mark starts on the
// meeting's icon without showing it: only an icon the user picks (click or keys) is drawn
// highlighted.
class CMeetingIconList : public CListBase {
    Q_OBJECT

public:
    explicit CMeetingIconList(QWidget* parent = nullptr);

    // Marks `icon` unseen and scrolls it fully into view.
    void StartOn(int icon);
    bool IsMarkShown() const { return m_markShown; }

    // Cell geometry: an icon with a margin around it, as many to a row as the width holds.
    static constexpr int cellWidth = 44;
    static constexpr int cellHeight = 53;
    static int ColumnsFor(int viewportWidth);

protected:
    int ItemCount() const override;
    QRect ItemRect(int item) const override;
    int HitTest(const QPoint& contentPos) const override;
    int ContentHeight() const override;
    int ColumnCount() const override;
    void PaintItem(QPainter& painter, int item, const QRect& rect) const override;
    QRect FocusFrameRect(int item) const override;
    void PressItem(int item) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CImageStrip m_icons;
    bool m_markShown = false;
};
