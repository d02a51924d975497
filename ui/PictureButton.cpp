#include "ui/PictureButton.h"

#include "ui/FocusFrame.h"
#include "ui/ImageStrip.h"

#include <QPainter>

CPictureButton::CPictureButton(int bitmapId, const QString& text, QWidget* parent)
    : QAbstractButton(parent), m_bitmapId(bitmapId) {
    // The text is for screen readers and for tests; the picture carries its own caption.
    setText(text);
    setAccessibleName(text);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

QSize CPictureButton::sizeHint() const {
    const QSize size = PictureSize(m_bitmapId);
    return (size.isEmpty() ? QSize(88, 28) : size) + QSize(2 * focusMargin, 2 * focusMargin);
}

void CPictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect face = rect().adjusted(focusMargin, focusMargin, -focusMargin, -focusMargin);
    const QPixmap picture = LoadPicture(m_bitmapId, devicePixelRatioF());
    if (picture.isNull()) {
        // Without its artwork the button still reads as a button.
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(palette().button());
        painter.drawRoundedRect(face.adjusted(0, 0, -1, -1), 4, 4);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(face, Qt::AlignCenter, text());
    } else {
        if (isDown()) {
            painter.translate(1, 1);
        }
        painter.drawPixmap(face.topLeft(), picture);
        if (isDown()) {
            painter.translate(-1, -1);
        }
    }
    if (!isEnabled()) {
        painter.fillRect(face, QColor(255, 255, 255, 140));
    }
    if (hasFocus()) {
        // In the margin around the picture, where the picture's colours cannot hide it.
        DrawFocusFrame(painter, rect(), *this);
    }
}
