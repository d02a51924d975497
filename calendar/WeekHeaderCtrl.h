#pragma once

#include "ui/ImageStrip.h"

#include <QString>
#include <QWidget>

#include <array>

// The week list's column header: the hour column's picture, then each day's picture left of
// its centre and its day of the month right of it, on the header background.
class CWeekHeaderCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CWeekHeaderCtrl(QWidget* parent = nullptr);

    // Before the first fill the days read S, M, T, W, T, F, S.
    void SetDayTexts(const std::array<QString, 7>& texts);
    QString GetText(int column) const;
    // The day column (1 Sunday .. 7 Saturday) that is today, marked in blue; 0 for none.
    void SetTodayColumn(int column);
    int GetTodayColumn() const { return m_todayColumn; }
    void SetDayColumnWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;
    // A double click on the header does nothing.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::array<QString, 8> m_texts;
    int m_dayWidth = 0;
    int m_todayColumn = 0;
    CImageStrip m_columnImages;
};
