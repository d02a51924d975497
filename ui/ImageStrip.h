#pragma once

#include "ui/PictureIds.h"

#include <QHash>
#include <QPixmap>
#include <QSize>

#include <memory>
#include <vector>

class QPainter;

// The pictures of one picture strip (toolbar images, mode buttons, meeting icons, ...),
// each drawn from vector artwork at the device's pixel ratio so it stays crisp on HiDPI.
class CImageStrip {
public:
    CImageStrip() = default;
    // A strip of one image may be a single picture resource (art/<id>.svg).
    CImageStrip(int bitmapId, QSize imageSize, int count, bool singlePicture = false);

    bool IsNull() const { return m_count == 0; }
    int GetImageCount() const { return m_count; }
    QSize GetImageSize() const { return m_imageSize; }

    // The image at `index` (an empty pixmap outside the strip), rendered for the ratio.
    QPixmap GetPixmap(int index, qreal devicePixelRatio = 1.0) const;
    // Draws image `index` with its top-left corner at `topLeft`.
    void Draw(QPainter& painter, QPoint topLeft, int index) const;

private:
    int m_bitmapId = 0;
    QSize m_imageSize;
    int m_count = 0;
    bool m_singlePicture = false;
};

// The strip of picture resource `bitmapId` cut into images `imageWidth` pixels wide.
CImageStrip LoadImageStrip(int bitmapId, int imageWidth);

// A single picture resource (backgrounds, the wizard's watermark, the about picture) at its
// logical size, rendered for the ratio; and that size.
QPixmap LoadPicture(int bitmapId, qreal devicePixelRatio = 1.0);
QSize PictureSize(int bitmapId);
