#include "calendar/MonthHeaderCtrl.h"

#include "calendar/MonthGridGeometry.h"

#include <QPainter>

CMonthHeaderCtrl::CMonthHeaderCtrl(QWidget* parent)
    : QWidget(parent),
      m_dayNames(LoadImageStrip(PictureId::monthDayNames, MonthGridGeometry::dayNameWidth)) {
    setFixedHeight(MonthGridGeometry::headerHeight);
    // Presses pass through to the grid, which takes them for nothing.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CMonthHeaderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap band = LoadPicture(PictureId::monthHeaderBand, devicePixelRatioF());
    if (band.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Button));
    } else {
        painter.drawTiledPixmap(rect(), band);
    }
    for (int column = 0; column < MonthGridGeometry::columns; ++column) {
        m_dayNames.Draw(painter, MonthGridGeometry::DayNamePoint(column, width()), column);
    }
}
