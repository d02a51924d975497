#pragma once

#include "app/ImageStrip.h"

#include <QWidget>

// The left pane: four picture buttons that switch the calendar to its agenda, day, week and
// month modes.
class CLeftListView : public QWidget {
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
    CImageStrip m_images;
    int m_focusRow = 0;
};
