#include "calendar/MonthGridGeometry.h"

#include <gtest/gtest.h>

using namespace MonthGridGeometry;

TEST(MonthGridGeometry, CellsTileTheGridAndHitTestsAgree) {
    for (const auto& [width, height] : {std::pair{703, 481}, std::pair{350, 120}}) {
        int area = 0;
        for (int cell = 0; cell < rows * columns; ++cell) {
            const CCellLayout layout = CellLayout(cell, width, height);
            area += layout.bounds.width() * layout.bounds.height();
            for (const QPoint corner : {layout.bounds.topLeft(), layout.bounds.bottomRight()}) {
                EXPECT_EQ(CellAt(corner, width, height), cell) << width << "x" << height;
            }
            EXPECT_TRUE(layout.bounds.contains(layout.count.bottomRight()) &&
                        layout.count.top() >= layout.picture.y())
                << "the count stays in its cell, under the picture: cell " << cell << " at "
                << width << "x" << height;
        }
        EXPECT_EQ(area, width * height) << "no gaps, no overlaps";
        EXPECT_EQ(CellAt({width, 0}, width, height), -1);
        EXPECT_EQ(CellAt({0, -1}, width, height), -1);
    }
    EXPECT_EQ(CellLayout(0, 700, 600).count.top(), 2 * 100 / 3 + 10) << "roomy cells";
}
