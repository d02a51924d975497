#include "app/LeftListView.h"

#include "app/SidePaneGeometry.h"
#include "ui/FocusFrame.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
using PictureId::modeButtons;
const char* const captions[CLeftListView::itemCount] = {"Agenda", "Day", "Week", "Month"};
} // namespace

CLeftListView::CLeftListView(QWidget* parent)
    : QFrame(parent), m_images(LoadImageStrip(modeButtons, 32)) {
    setObjectName(QStringLiteral("leftPane"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumWidth(50);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAccessibleName(QStringLiteral("Calendar modes"));
}

QSize CLeftListView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return QSize(150 + frame, itemCount * SidePaneGeometry::rowHeight + frame);
}

int CLeftListView::RowAtPoint(QPoint point) const {
    const QRect inside = contentsRect();
    if (!inside.contains(point)) {
        return -1;
    }
    const int row = SidePaneGeometry::RowAt(point.y() - inside.top());
    return row < itemCount ? row : -1;
}

void CLeftListView::paintEvent(QPaintEvent*) {
    using namespace SidePaneGeometry;
    QPainter painter(this);
    drawFrame(&painter);
    // Rows are laid out inside the frame.
    const QRect inside = contentsRect();
    painter.setClipRect(inside);
    painter.translate(inside.topLeft());
    for (int row = 0; row < itemCount; ++row) {
        const QRect rect = RowRect(row, inside.width());
        painter.fillRect(rect.adjusted(0, 0, 0, -1), Qt::white);
        const QRect image = ImageRect(rect, m_images.GetImageSize().height());
        if (m_images.IsNull()) {
            // Without the artwork the caption still names the mode.
            painter.setPen(Qt::black);
            painter.drawText(TextRect(rect), Qt::AlignCenter, QLatin1String(captions[row]));
        } else {
            m_images.Draw(painter, image.topLeft(), row);
        }
        if (hasFocus() && row == m_focusRow) {
            DrawFocusFrame(painter, rect.adjusted(3, 3, -3, -4), *this);
        }
    }
}

void CLeftListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int row = RowAtPoint(event->position().toPoint());
    if (row >= 0) {
        m_focusRow = row;
        update();
        emit modeRequested(row);
    }
}

void CLeftListView::mouseMoveEvent(QMouseEvent* event) {
    setCursor(RowAtPoint(event->position().toPoint()) >= 0 ? Qt::PointingHandCursor
                                                           : Qt::ArrowCursor);
}

void CLeftListView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        m_focusRow = (m_focusRow + itemCount - 1) % itemCount;
        update();
        break;
    case Qt::Key_Down:
        m_focusRow = (m_focusRow + 1) % itemCount;
        update();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit modeRequested(m_focusRow);
        break;
    default:
        QFrame::keyPressEvent(event);
    }
}
