#include "app/LeftListView.h"

#include "app/FocusFrame.h"
#include "app/SidePaneGeometry.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int modeButtons = 130;
const char* const captions[CLeftListView::itemCount] = {"Agenda", "Day", "Week", "Month"};
} // namespace

CLeftListView::CLeftListView(QWidget* parent)
    : QWidget(parent), m_images(LoadImageStrip(modeButtons, 32)) {
    setObjectName(QStringLiteral("leftPane"));
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
    return QSize(150, itemCount * SidePaneGeometry::rowHeight);
}

void CLeftListView::paintEvent(QPaintEvent*) {
    using namespace SidePaneGeometry;
    QPainter painter(this);
    for (int row = 0; row < itemCount; ++row) {
        const QRect rect = RowRect(row, width());
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
    const int row = SidePaneGeometry::RowAt(event->position().toPoint().y());
    if (row >= 0 && row < itemCount) {
        m_focusRow = row;
        update();
        emit modeRequested(row);
    }
}

void CLeftListView::mouseMoveEvent(QMouseEvent* event) {
    const int row = SidePaneGeometry::RowAt(event->position().toPoint().y());
    setCursor(row >= 0 && row < itemCount ? Qt::PointingHandCursor : Qt::ArrowCursor);
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
        QWidget::keyPressEvent(event);
    }
}
