#pragma once

#include "ui/ImageStrip.h"

#include <QFrame>

// The left pane: four picture buttons that switch the calendar to its agenda, day, week and
// month modes. It has the same sunken frame as the panes beside it.
class CLeftListView : public QFrame {
    Q_OBJECT

public:
    static constexpr int itemCount = 4;

    explicit CLeftListView(QWidget* parent = nullptr);

    QSize sizeHint() const override;

signals:
    void modeRequested(int mode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The row under a point of the widget, frame included; -1 off the rows.
    int RowAtPoint(QPoint point) const;

    CImageStrip m_images;
    int m_focusRow = 0;
};
