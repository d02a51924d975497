#include "app/ImageStrip.h"
#include "tests/support/QtTestEnvironment.h"

#include <QFile>
#include <QImage>
#include <QSet>

namespace {

struct Art {
    int id;
    int width; // of the whole strip
    int height;
    int count; // 0 for a single picture
};

constexpr Art kArt[] = {
    {130, 128, 55, 4},   {131, 16, 15, 0},   {132, 16, 16, 0},    {133, 910, 20, 0},
    {134, 112, 20, 7},   {136, 30, 19, 0},   {137, 910, 20, 0},   {138, 112, 16, 8},
    {139, 15, 10, 0},    {140, 350, 60, 0},  {141, 2304, 45, 72}, {142, 96, 16, 6},
    {143, 32, 30, 0},    {145, 80, 16, 5},   {146, 144, 16, 9},   {148, 16, 13, 0},
    {149, 16, 16, 0},    {154, 192, 16, 12}, {155, 499, 314, 0},  {156, 499, 59, 0},
    {157, 2432, 30, 76}, {168, 88, 28, 0},   {169, 88, 28, 0},    {170, 88, 28, 0},
    {171, 460, 210, 0},  {172, 400, 250, 0}, {173, 88, 28, 0},
};

QImage Image(const Art& art, int index, qreal ratio = 1.0) {
    if (art.count == 0) {
        return LoadPicture(art.id, ratio).toImage();
    }
    return LoadImageStrip(art.id, art.width / art.count).GetPixmap(index, ratio).toImage();
}

bool HasInk(const QImage& image, QRect area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

using ArtworkTest = CQtTest;

TEST_F(ArtworkTest, EveryPictureHasItsSizeAndDrawsSomething) {
    for (const Art& art : kArt) {
        SCOPED_TRACE(art.id);
        EXPECT_EQ(PictureSize(art.id), QSize(art.width, art.height));
        const int count = art.count == 0 ? 1 : art.count;
        if (art.count > 0) {
            EXPECT_EQ(LoadImageStrip(art.id, art.width / count).GetImageCount(), count);
        }
        for (int index = 0; index < count; ++index) {
            SCOPED_TRACE(index);
            const QString file = art.count == 0 ? QStringLiteral(":/art/%1.svg").arg(art.id)
                                                : QStringLiteral(":/art/%1/%2.svg")
                                                      .arg(art.id)
                                                      .arg(index, 2, 10, QLatin1Char('0'));
            EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
            const QImage image = Image(art, index, 2.0);
            ASSERT_EQ(image.size(), QSize(art.width / count, art.height) * 2);
            EXPECT_TRUE(HasInk(image, image.rect()));
        }
    }
}

TEST_F(ArtworkTest, MeetingIconsAreDistinctTilesInTheTopThirtyRows) {
    const Art& icons = kArt[10];
    const Art& quickView = kArt[20];
    ASSERT_EQ(icons.id, 141);
    ASSERT_EQ(quickView.id, 157);
    QSet<QByteArray> seen;
    for (int n = 0; n < icons.count; ++n) {
        SCOPED_TRACE(n);
        const QImage icon = Image(icons, n).convertToFormat(QImage::Format_ARGB32);
        EXPECT_TRUE(HasInk(icon, QRect(0, 0, 32, 30)));
        EXPECT_FALSE(HasInk(icon, QRect(0, 30, 32, 15))) << "rows 30..44 must stay clear";
        EXPECT_EQ(Image(quickView, 4 + n).convertToFormat(QImage::Format_ARGB32),
                  icon.copy(0, 0, 32, 30));
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(icon.constBits()), icon.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), icons.count);
}

TEST_F(ArtworkTest, DialogBackgroundsAreOpaque) {
    for (const int id : {171, 172}) {
        const QImage image = LoadPicture(id).toImage();
        for (const QPoint corner : {image.rect().topLeft(), image.rect().bottomRight(),
                                    image.rect().topRight(), image.rect().bottomLeft()}) {
            EXPECT_EQ(qAlpha(image.pixel(corner)), 255) << id;
        }
    }
}
