#include "tools/screenshots/Screenshot.h"

#include "ui/ImageStrip.h"

#include <QLabel>
#include <QPainter>

namespace {

// Every picture, by number, with the width of its images (0 for a single picture).
constexpr std::pair<int, int> kSheet[] = {
    {154, 16}, {130, 32}, {131, 0},  {132, 0},  {136, 0},  {139, 0},  {134, 16},
    {138, 14}, {142, 16}, {145, 16}, {146, 16}, {143, 0},  {148, 0},  {149, 0},
    {168, 0},  {169, 0},  {170, 0},  {173, 0},  {157, 32}, {141, 32}, {140, 0},
    {133, 0},  {137, 0},  {171, 0},  {172, 0},  {155, 0},  {156, 0},  {180, 48},
};
constexpr int kPerRow = 19;
constexpr int kSheetWidth = 1000;

// One picture, or the images of one strip in rows, each image in a faint frame, under its
// number; drawn at `ratio` times the logical size.
QPixmap Block(int id, int imageWidth, qreal ratio) {
    std::vector<QPixmap> images;
    if (imageWidth == 0) {
        images.push_back(LoadPicture(id, ratio));
    } else {
        const CImageStrip strip = LoadImageStrip(id, imageWidth);
        for (int i = 0; i < strip.GetImageCount(); ++i) {
            images.push_back(strip.GetPixmap(i, ratio));
        }
    }
    const QSize cell = images.front().deviceIndependentSize().toSize() + QSize(6, 6);
    const int columns = std::min<int>(kPerRow, images.size());
    const int rows = (int(images.size()) + columns - 1) / columns;
    QPixmap block(QSize(std::max(columns * cell.width(), 40), rows * cell.height() + 16) * ratio);
    block.setDevicePixelRatio(ratio);
    block.fill(Qt::white);
    QPainter painter(&block);
    painter.setPen(Qt::darkGray);
    painter.drawText(QPoint(0, 11), QString::number(id));
    for (size_t i = 0; i < images.size(); ++i) {
        const QPoint at(int(i) % columns * cell.width() + 1, int(i) / columns * cell.height() + 17);
        painter.setPen(QColor(225, 228, 234));
        painter.drawRect(QRect(at, cell - QSize(5, 5)).adjusted(-1, -1, 0, 0));
        painter.drawPixmap(at, images[i]);
    }
    return block;
}

// Lays the blocks out on white, left to right, at 1x or 2x.
std::unique_ptr<QWidget> Sheet(qreal ratio) {
    std::vector<std::pair<QPoint, QPixmap>> placed;
    QPoint at(10, 10);
    int rowHeight = 0;
    for (const auto& [id, imageWidth] : kSheet) {
        const QPixmap block = Block(id, imageWidth, ratio);
        const QSize size = block.deviceIndependentSize().toSize();
        if (at.x() + size.width() > kSheetWidth && at.x() > 10) {
            at = QPoint(10, at.y() + rowHeight + 14);
            rowHeight = 0;
        }
        placed.emplace_back(at, block);
        at.rx() += size.width() + 20;
        rowHeight = std::max(rowHeight, size.height());
    }
    QPixmap sheet(QSize(kSheetWidth + 20, at.y() + rowHeight + 10) * ratio);
    sheet.setDevicePixelRatio(ratio);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (const auto& [point, block] : placed) {
        painter.drawPixmap(point, block);
    }
    painter.end();
    // Shown pixel for pixel, so the 2x sheet is twice as large.
    sheet.setDevicePixelRatio(1.0);
    auto label = std::make_unique<QLabel>();
    label->setPixmap(sheet);
    label->setFixedSize(sheet.size());
    return label;
}

} // namespace

KES_SCREENSHOT("artwork-1x") {
    return Sheet(1.0);
}

KES_SCREENSHOT("artwork-2x") {
    return Sheet(2.0);
}
