#pragma once

#include "ui/ImageStrip.h"

#include <QWidget>

// The strip above the month grid: a band with each weekday's name picture centred over its
// column. The columns follow the grid's width; they cannot be dragged.
class CMonthHeaderCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CMonthHeaderCtrl(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CImageStrip m_dayNames;
};
