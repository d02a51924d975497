#include "ui/FocusFrame.h"

#include <QPainter>
#include <QWidget>

void DrawFocusFrame(QPainter& painter, const QRect& rect, const QWidget& widget) {
    constexpr int thickness = 2;
    painter.save();
    painter.setOpacity(1.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(widget.palette().color(QPalette::Active, QPalette::Highlight), thickness,
                        Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    // The pen straddles the path, so the path runs half a pen inside the rectangle.
    painter.drawRect(QRectF(rect).adjusted(thickness / 2.0, thickness / 2.0, -thickness / 2.0,
                                           -thickness / 2.0));
    painter.restore();
}
