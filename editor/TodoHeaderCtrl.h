#pragma once

#include "editor/TodoSort.h"
#include "ui/ImageStrip.h"

#include <QWidget>

// The todo list's column header: "Todo" over the text column and a picture per column
// telling how the list is sorted. A click on a column sorts by it in its first order, the
// next click reverses it, and so on; the other columns show "not sorted".
class CTodoHeaderCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CTodoHeaderCtrl(QWidget* parent = nullptr);

    // The header picture each column shows now.
    const TodoSort::CHeaderImages& GetImages() const { return m_images; }
    // A column's rectangle in the header.
    QRect ColumnRect(int column) const;

    QSize sizeHint() const override;

signals:
    // A click on a column: the list is to sort with `code` (TodoSort.h).
    void sortRequested(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CImageStrip m_imageStrip;
    TodoSort::CHeaderImages m_images = TodoSort::initialHeaderImages;
};
