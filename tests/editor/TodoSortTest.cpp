#include "editor/TodoSort.h"
#include "editor/ContentListGeometry.h"

#include <gtest/gtest.h>

#include <climits>

using namespace TodoSort;

TEST(TodoSort, ComparisonsFollowTheirCodesWhateverTheStoredValues) {
    const CTodoItem low{"b", 0, 1};
    const CTodoItem high{"a", 2, 0};
    EXPECT_LT(Compare(doneFirst, low, high), 0) << "done first";
    EXPECT_EQ(Compare(9, high, low), 0) << "an unknown code leaves the order alone";

    // Values read from a file may be anything: a difference must not overflow.
    const CTodoItem lowest{"x", INT_MIN, INT_MIN};
    const CTodoItem highest{"x", INT_MAX, INT_MAX};
    EXPECT_LT(Compare(priorityHighFirst, highest, lowest), 0);
    EXPECT_LT(Compare(priorityLowFirst, lowest, highest), 0);
    EXPECT_LT(Compare(notDoneFirst, lowest, highest), 0);
}

TEST(TodoSort, PriorityStepsRoundAndDoneToggles) {
    EXPECT_EQ(NextPriority(0), 1);
    EXPECT_EQ(NextPriority(1), 2);
    EXPECT_EQ(NextPriority(2), 0);
    // Stored values outside the three step into them.
    EXPECT_EQ(NextPriority(5), 0);
    EXPECT_EQ(NextPriority(-1), 0);
    EXPECT_EQ(NextPriority(-5), 2);
    EXPECT_EQ(NextPriority(INT_MAX), 2);
    EXPECT_EQ(ToggledDone(0), 1);
    EXPECT_EQ(ToggledDone(1), 0);
    EXPECT_EQ(ToggledDone(7), 0);
}

TEST(ContentListGeometry, RowsAndColumns) {
    using namespace ContentListGeometry;
    EXPECT_EQ(RowAt(29, 30, 2), 0);
    EXPECT_EQ(RowAt(30, 30, 2), 1);
    EXPECT_EQ(RowAt(60, 30, 2), -1) << "below the rows";
    EXPECT_EQ(RowAt(-1, 30, 2), -1);

    const QRect row(0, 30, 300, 30);
    EXPECT_EQ(FillRect(row), QRect(0, 30, 300, 29)) << "the bottom pixel row is the separator's";

    EXPECT_EQ(TodoColumnAt(29, 300), 0);
    EXPECT_EQ(TodoColumnAt(30, 300), 1);
    EXPECT_EQ(TodoColumnAt(60, 300), 2);
    EXPECT_EQ(TodoColumnAt(299, 300), 2) << "the text column reaches the list's edge";
    EXPECT_EQ(TodoColumnAt(259, 100), 2) << "and is never narrower than 200";
    EXPECT_EQ(TodoColumnAt(260, 100), -1);
}
