#include "tests/support/QtTestEnvironment.h"
#include "ui/ImageStrip.h"

#include <QImage>

#include <algorithm>

namespace {

struct Art {
    int id;
    int width; // of the whole strip
    int height;
    int count; // 0 for a single picture
};

constexpr Art kArt[] = {
    {130, 160, 55, 5},   {131, 16, 15, 0},   {132, 16, 16, 0},    {133, 910, 20, 0},
    {134, 112, 20, 7},   {136, 30, 19, 0},   {137, 910, 20, 0},   {138, 112, 16, 8},
    {139, 15, 10, 0},    {140, 350, 60, 0},  {141, 2304, 45, 72}, {142, 96, 16, 6},
    {143, 32, 30, 0},    {145, 80, 16, 5},   {146, 144, 16, 9},   {148, 16, 13, 0},
    {149, 16, 16, 0},    {154, 192, 16, 12}, {155, 499, 314, 0},  {156, 499, 59, 0},
    {157, 2432, 30, 76}, {158, 32, 16, 2},   {168, 88, 28, 0},    {169, 88, 28, 0},
    {170, 88, 28, 0},    {171, 460, 210, 0}, {172, 400, 250, 0},  {173, 88, 28, 0},
    {180, 192, 48, 4},
};
static_assert(kArt[10].id == 141 && kArt[20].id == 157);

QImage Image(const Art& art, int index, qreal ratio = 1.0) {
    const QPixmap pixmap =
        art.count == 0 ? LoadPicture(art.id, ratio)
                       : LoadImageStrip(art.id, art.width / art.count).GetPixmap(index, ratio);
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

bool HasInk(const QImage& image, QRect area) {
    QImage clear(area.size(), QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    return image.copy(area) != clear;
}

} // namespace

using ArtworkTest = CQtTest;

// Every picture has its size and every image draws something: a missing or broken file
// renders blank. The dialog backgrounds (171, 172) are opaque.
TEST_F(ArtworkTest, EveryPictureHasItsSizeAndEveryImageDrawsSomething) {
    for (const Art& art : kArt) {
        SCOPED_TRACE(art.id);
        EXPECT_EQ(PictureSize(art.id), QSize(art.width, art.height));
        const int count = std::max(art.count, 1);
        for (int index = 0; index < count; ++index) {
            const QImage image = Image(art, index, 2.0);
            ASSERT_EQ(image.size(), QSize(art.width / count, art.height) * 2) << index;
            EXPECT_TRUE(HasInk(image, image.rect())) << index;
            if (art.id == 171 || art.id == 172) {
                EXPECT_EQ(image.pixelColor(0, 0).alpha(), 255);
                EXPECT_EQ(image.pixelColor(image.rect().bottomRight()).alpha(), 255);
            }
        }
    }
}

// The meeting icons (141) leave the rows below the list row's middle third clear and match
// the quick view's icons (157 from index 4).
TEST_F(ArtworkTest, MeetingIconsDrawInTheTopThirtyRowsLikeTheQuickViews) {
    for (int n = 0; n < kArt[10].count; ++n) {
        const QImage icon = Image(kArt[10], n);
        EXPECT_FALSE(HasInk(icon, QRect(0, 30, 32, 15))) << n;
        EXPECT_EQ(Image(kArt[20], 4 + n), icon.copy(0, 0, 32, 30)) << n;
    }
}
