#include "editor/TodoHeaderCtrl.h"

#include "editor/ContentListGeometry.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int imageMargin = 6;

} // namespace

CTodoHeaderCtrl::CTodoHeaderCtrl(QWidget* parent)
    : QWidget(parent), m_imageStrip(LoadImageStrip(PictureId::todoHeaderStrip, 16)) {
    setObjectName(QStringLiteral("todoHeader"));
}

QRect CTodoHeaderCtrl::ColumnRect(int column) const {
    return ContentListGeometry::TodoColumnRect(rect(), column);
}

QSize CTodoHeaderCtrl::sizeHint() const {
    return {3 * ContentListGeometry::todoPictureColumnWidth +
                ContentListGeometry::todoTextColumnWidth,
            ContentListGeometry::todoHeaderHeight};
}

void CTodoHeaderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Button));
    painter.setFont(font());
    for (int column = 0; column < TodoSort::columnCount; ++column) {
        const QRect section = ColumnRect(column).intersected(rect());
        const QPoint imageAt(section.left() + imageMargin,
                             section.top() + (section.height() - 16) / 2);
        m_imageStrip.Draw(painter, imageAt, m_images[static_cast<std::size_t>(column)]);
        if (column == 2) {
            painter.setPen(colours.color(QPalette::ButtonText));
            const QRect text = section.adjusted(imageMargin + 16 + imageMargin, 0, 0, 0);
            painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             QStringLiteral("Todo"));
        }
        // The raised edge between the sections, and the line under them.
        painter.setPen(colours.color(QPalette::Mid));
        painter.drawLine(section.right(), section.top() + 3, section.right(), section.bottom() - 3);
    }
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(rect().bottomLeft(), rect().bottomRight());
}

void CTodoHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int column = ContentListGeometry::TodoColumnAt(event->position().toPoint().x(), width());
    if (column == -1) {
        return;
    }
    const TodoSort::CHeaderClick click = TodoSort::ClickHeader(m_images, column);
    m_images = click.images;
    update();
    emit sortRequested(click.code);
}
