#include "calendar/BlankCalendarList.h"

#include <QPalette>

CBlankCalendarList::CBlankCalendarList(QWidget* parent) : QWidget(parent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
}

void CBlankCalendarList::Fill(const CDateTime& date) {
    m_date = date;
    update();
}

void CBlankCalendarList::Refresh() {
    Fill(m_date);
}
