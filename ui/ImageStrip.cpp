#include "ui/ImageStrip.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace {

// res/art/pictures.json names every picture resource: its size in pixels and, for strips,
// how many images it holds. Strip images live in art/<id>/<index>.svg, single pictures in
// art/<id>.svg.
struct PictureInfo {
    QSize size;
    int count = 0; // 0 for a single picture
};

QHash<int, PictureInfo> LoadManifest() {
    QHash<int, PictureInfo> manifest;
    QFile file(QStringLiteral(":/art/pictures.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return manifest;
    }
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        PictureInfo info;
        info.size = QSize(entry.value(QStringLiteral("width")).toInt(),
                          entry.value(QStringLiteral("height")).toInt());
        info.count = entry.value(QStringLiteral("count")).toInt();
        manifest.insert(it.key().toInt(), info);
    }
    return manifest;
}

const QHash<int, PictureInfo>& Manifest() {
    static const QHash<int, PictureInfo> manifest = LoadManifest();
    return manifest;
}

QPixmap Render(const QString& resource, QSize size, qreal ratio) {
    const QString key =
        QStringLiteral("%1@%2x%3@%4").arg(resource).arg(size.width()).arg(size.height()).arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    const QSize pixels = (QSizeF(size) * ratio).toSize();
    pixmap = QPixmap(pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    pixmap.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

} // namespace

CImageStrip::CImageStrip(int bitmapId, QSize imageSize, int count, bool singlePicture)
    : m_bitmapId(bitmapId), m_imageSize(imageSize), m_count(count),
      m_singlePicture(singlePicture && count == 1) {}

QPixmap CImageStrip::GetPixmap(int index, qreal devicePixelRatio) const {
    if (index < 0 || index >= m_count) {
        return {};
    }
    const QString resource =
        m_singlePicture
            ? QStringLiteral(":/art/%1.svg").arg(m_bitmapId)
            : QStringLiteral(":/art/%1/%2.svg").arg(m_bitmapId).arg(index, 2, 10, QLatin1Char('0'));
    return Render(resource, m_imageSize, devicePixelRatio);
}

void CImageStrip::Draw(QPainter& painter, QPoint topLeft, int index) const {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap pixmap = GetPixmap(index, ratio);
    if (!pixmap.isNull()) {
        painter.drawPixmap(topLeft, pixmap);
    }
}

CImageStrip LoadImageStrip(int bitmapId, int imageWidth) {
    const auto found = Manifest().find(bitmapId);
    if (found == Manifest().end() || imageWidth <= 0) {
        return {};
    }
    const PictureInfo& info = found.value();
    const int count = info.count > 0 ? info.count : info.size.width() / imageWidth;
    // A picture without a count is one file; cut into one image it is that picture.
    return CImageStrip(bitmapId, QSize(imageWidth, info.size.height()), count, info.count == 0);
}

QPixmap LoadPicture(int bitmapId, qreal devicePixelRatio) {
    const QSize size = PictureSize(bitmapId);
    if (size.isEmpty()) {
        return {};
    }
    return Render(QStringLiteral(":/art/%1.svg").arg(bitmapId), size, devicePixelRatio);
}

QSize PictureSize(int bitmapId) {
    return Manifest().value(bitmapId).size;
}
