#pragma once

#include "calendar/CalendarList.h"

#include <QWidget>

// An empty white list that keeps the place of a calendar list not yet part of the program.
class CBlankCalendarList : public QWidget, public CCalendarList {
    Q_OBJECT

public:
    explicit CBlankCalendarList(QWidget* parent = nullptr);

    QWidget* GetWidget() override { return this; }
    void Fill(const CDateTime& date) override;
    void Refresh() override;

    CDateTime GetDate() const { return m_date; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CDateTime m_date;
};
