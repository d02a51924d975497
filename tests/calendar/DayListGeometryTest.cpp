#include "calendar/DayListGeometry.h"

#include <gtest/gtest.h>

using namespace DayListGeometry;

TEST(DayListGeometry, RowsAndHalvesMeetAtTheMiddleLine) {
    EXPECT_EQ(RowAt(-1), -1);
    EXPECT_EQ(RowAt(14 * 48 + 47), 14);
    EXPECT_EQ(RowAt(24 * 48), -1) << "below the last row";
    const int middle = RowMiddle(14);
    EXPECT_EQ(middle, 14 * 48 + 24);
    // The middle line: a drop there keeps to :00, a double click there adds at :30.
    EXPECT_EQ(DropHalfAt(middle), 0) << "the middle line belongs to the :00 half, as its boxes do";
    EXPECT_EQ(AddHalfAt(middle), 1) << "only above the middle line is the upper half";
    EXPECT_EQ(AddHalfAt(middle - 1), 0);
    EXPECT_EQ(DropHalfAt(middle + 1), 1);
    EXPECT_EQ(DropHalfAt(15 * 48 - 1), 1);
    EXPECT_EQ(DropHalfAt(15 * 48), 0) << "the next hour starts with its :00 half";
    EXPECT_EQ(AddHalfAt(15 * 48), 0);

    // Both halves hold a box: the middle line is the :00 box's bottom frame, so it hits that.
    const auto onLine = HitBox({45, middle}, 14, 500, 1, 1);
    ASSERT_TRUE(onLine.has_value());
    EXPECT_EQ(onLine->half, 0) << "the middle line is drawn as part of the :00 box";
    const auto below = HitBox({45, middle + 1}, 14, 500, 1, 1);
    ASSERT_TRUE(below.has_value());
    EXPECT_EQ(below->half, 1);
}

// A day opens with its top row whole, even where the end of the day stops the scroll short.
TEST(DayListGeometry, ADayOpensOnAWholeRow) {
    EXPECT_EQ(OpeningScroll(8, 600), 8 * 48);
    EXPECT_EQ(OpeningScroll(20, 600), 11 * 48) << "1152 - 600 = 552 would cut row 11 in half";
    EXPECT_EQ(OpeningScroll(20, 2000), 0) << "the whole day fits";
    EXPECT_EQ(WholeRowScroll(552), 528);
}

TEST(DayListGeometry, BoxesOfARowShareTheWidthOfTheFullerHalf) {
    // Two at 10:00 and one at 10:45 in a list 500 wide: every box is (500 - 40) / 2 wide.
    EXPECT_EQ(BoxWidth(500, 2), 230);
    EXPECT_EQ(BoxRect(10, 0, 1, 230).left(), 40 + 230);
    EXPECT_EQ(BoxRect(10, 0, 0, 230).bottom(), RowMiddle(10));
    EXPECT_EQ(BoxRect(10, 1, 0, 230).top(), RowMiddle(10) + 1);
    EXPECT_EQ(BoxRect(10, 1, 0, 230).bottom(), 11 * 48 - 1);

    const int y = 10 * 48 + 10;
    const auto picture = HitBox({40 + 230 + 15, y}, 10, 500, 2, 1);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->k, 1);
    EXPECT_TRUE(picture->onPicture) << "the first 16 pixels of a box are its picture";
    const auto title = HitBox({40 + 230 + 16, y}, 10, 500, 2, 1);
    ASSERT_TRUE(title.has_value());
    EXPECT_FALSE(title->onPicture) << "16 pixels into the box is its title";
    const auto lower = HitBox({45, RowMiddle(10) + 1}, 10, 500, 2, 1);
    ASSERT_TRUE(lower.has_value());
    EXPECT_EQ(lower->half, 1);
    EXPECT_FALSE(HitBox({40 + 230 + 5, RowMiddle(10) + 5}, 10, 500, 2, 1).has_value())
        << "the :30 half has one box; right of it lies nothing";
    EXPECT_FALSE(HitBox({39, y}, 10, 500, 2, 1).has_value()) << "the hour column";
    EXPECT_FALSE(HitBox({45, y}, 10, 500, 0, 0).has_value()) << "a row without meetings";
}

TEST(DayListGeometry, AListTooNarrowForTheBoxesShowsAndHitsNone) {
    EXPECT_EQ(BoxWidth(40 + 4 * 20, 4), 20) << "just wide enough for four boxes";
    EXPECT_EQ(BoxWidth(40 + 4 * 20 - 1, 4), 0);
    for (const int width : {0, 10, 39, 40, 41, 59}) {
        EXPECT_EQ(BoxWidth(width, 1), 0) << width;
        for (const int x : {-5, 0, 39, 40, 41, 58, 100}) {
            EXPECT_FALSE(HitBox({x, 5}, 0, width, 1, 1).has_value()) << width << " at " << x;
            EXPECT_FALSE(HitBox({x, 40}, 0, width, 4, 4).has_value()) << width << " at " << x;
        }
    }
    EXPECT_FALSE(HitBox({45, 5}, 24, 500, 1, 1).has_value());
}
