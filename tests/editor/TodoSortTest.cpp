#include "editor/TodoSort.h"
#include "editor/ContentListGeometry.h"

#include <gtest/gtest.h>

#include <climits>

using namespace TodoSort;

TEST(TodoSort, HeaderClicksSortAColumnThenReverseAndStartOthersAtTheirFirstOrder) {
    CHeaderImages images = initialHeaderImages;
    struct Step {
        int column;
        int code;
        CHeaderImages images;
    };
    // Three clicks on priority, then done, then text twice.
    const Step steps[] = {
        {0, priorityHighFirst, {0, 5, 8}}, {0, priorityLowFirst, {1, 5, 8}},
        {0, priorityHighFirst, {0, 5, 8}}, {1, notDoneFirst, {2, 3, 8}},
        {2, textAscending, {2, 5, 6}},     {2, textDescending, {2, 5, 7}},
    };
    int n = 0;
    for (const Step& step : steps) {
        const CHeaderClick click = ClickHeader(images, step.column);
        EXPECT_EQ(click.code, step.code) << "click " << n << " on column " << step.column;
        EXPECT_EQ(click.images, step.images) << "click " << n << " on column " << step.column;
        images = click.images;
        ++n;
    }
    // The list opens sorted by text: the first click on the text column reverses it.
    EXPECT_EQ(ClickHeader(initialHeaderImages, 2).code, textDescending);
}

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

// Every line of text has its whole height clear of the focus frame and of the separator under it,
// so a marked row (white on black, framed) cuts no descender; rows keep their picture's height
// where the text fits in it.
TEST(ContentListGeometry, TextLinesFitWholeInsideTheFillAndTheFocusFrame) {
    using namespace ContentListGeometry;
    EXPECT_EQ(RowHeight(30, 13, 2), 30) << "the agenda's rows are at least 30 high";
    EXPECT_EQ(RowHeight(16, 12), 16);
    for (const int image : {13, 16, 30}) {
        for (int line = 8; line <= 40; ++line) {
            const int oneLine = RowHeight(image, line);
            const int twoLines = RowHeight(image, line, 2);
            const QRect single = RowRect(2, oneLine, 300);
            const QRect agenda = RowRect(2, twoLines, 300);
            const std::pair<QRect, QRect> cases[] = {{TextRect(single, minutesTextLeft), single},
                                                     {AgendaTimeRect(agenda), agenda},
                                                     {AgendaTextRect(agenda), agenda}};
            for (const auto& [text, row] : cases) {
                const QRect clear = row.adjusted(0, focusFrameWidth, 0, -focusFrameWidth);
                EXPECT_GE(text.height(), line) << "image " << image << ", line " << line;
                EXPECT_TRUE(clear.contains(text))
                    << "image " << image << ", line " << line << ", row " << row.top() << "+"
                    << row.height() << ", text " << text.top() << "+" << text.height();
            }
            EXPECT_FALSE(AgendaTimeRect(agenda).intersects(AgendaTextRect(agenda)));
        }
    }
}
