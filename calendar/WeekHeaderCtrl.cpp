#include "calendar/WeekHeaderCtrl.h"

#include "calendar/WeekListGeometry.h"

#include <QMouseEvent>
#include <QPainter>

CWeekHeaderCtrl::CWeekHeaderCtrl(QWidget* parent)
    : QWidget(parent), m_texts{QStringLiteral(" "), QStringLiteral("S"), QStringLiteral("M"),
                               QStringLiteral("T"), QStringLiteral("W"), QStringLiteral("T"),
                               QStringLiteral("F"), QStringLiteral("S")},
      m_columnImages(LoadImageStrip(PictureId::weekHeaderStrip, 14)) {
    setFixedHeight(WeekListGeometry::headerHeight);
}

void CWeekHeaderCtrl::SetDayTexts(const std::array<QString, 7>& texts) {
    std::copy(texts.begin(), texts.end(), m_texts.begin() + 1);
    update();
}

QString CWeekHeaderCtrl::GetText(int column) const {
    return column >= 0 && column < 8 ? m_texts[static_cast<std::size_t>(column)] : QString();
}

void CWeekHeaderCtrl::SetTodayColumn(int column) {
    m_todayColumn = column;
    update();
}

void CWeekHeaderCtrl::SetDayColumnWidth(int width) {
    m_dayWidth = width;
    update();
}

void CWeekHeaderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap background = LoadPicture(PictureId::weekHeaderBackground, devicePixelRatioF());
    painter.fillRect(rect(), QColor(236, 233, 216));
    // The background's top pixel line is left out, as the header has always shown it.
    const qreal ratio = background.devicePixelRatio();
    painter.drawPixmap(QRectF(rect()), background,
                       QRectF(0, ratio, width() * ratio, height() * ratio));

    QFont font = painter.font();
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int column = 0; column < 8; ++column) {
        const QRect item = WeekListGeometry::HeaderRect(column, m_dayWidth);
        const int mid = item.left() + item.width() / 2;
        m_columnImages.Draw(painter, QPoint(column == 0 ? mid : mid - 16, item.top() - 1), column);
        const QRect text(QPoint(mid + 2, item.top()), QPoint(item.right() - 1, item.bottom()));
        const bool today = column > 0 && column == m_todayColumn;
        if (today) {
            // Today's column stands out by a blue bar under it and its day in bold blue.
            painter.fillRect(QRect(item.left() + 1, item.bottom() - 2, item.width() - 2, 3),
                             QColor(61, 110, 196));
        }
        font.setWeight(today ? QFont::Bold : QFont::Normal);
        painter.setFont(font);
        painter.setPen(today ? QColor(61, 110, 196) : QColor(Qt::black));
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         m_texts[static_cast<std::size_t>(column)]);
    }
}

void CWeekHeaderCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}
