#include "calendar/BlankCalendarList.h"

#include "ui/FocusFrame.h"

#include <QPainter>
#include <QPalette>

CBlankCalendarList::CBlankCalendarList(QWidget* parent) : QWidget(parent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    // Like every calendar list it takes the focus, so that the keys meant for it reach it.
    setFocusPolicy(Qt::StrongFocus);
}

void CBlankCalendarList::Fill(const CDateTime& date) {
    m_date = date;
    update();
}

void CBlankCalendarList::Refresh() {
    Fill(m_date);
}

void CBlankCalendarList::paintEvent(QPaintEvent*) {
    if (hasFocus()) {
        QPainter painter(this);
        DrawFocusFrame(painter, rect(), *this);
    }
}

void CBlankCalendarList::focusInEvent(QFocusEvent*) {
    update();
}

void CBlankCalendarList::focusOutEvent(QFocusEvent*) {
    update();
}
