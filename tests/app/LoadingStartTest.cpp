#include "app/LoadingFeedback.h"
#include "app/LoadingWindow.h"
#include "tests/support/WidgetDriving.h"

using LoadingStartTest = CQtTest;

// A folder of many files shows the loading window before its first file is read, one file
// fewer waits for the delay as any other; a window opened before the listing names no count
// until the listing gives one.
TEST_F(LoadingStartTest, ManyFilesShowTheWindowBeforeTheFirstRead) {
    EXPECT_TRUE(ShouldShowLoadingWindow(0, 0, loadingWindowAtOnceFiles));
    EXPECT_FALSE(ShouldShowLoadingWindow(0, 0, loadingWindowAtOnceFiles - 1));
    EXPECT_FALSE(IsLargeFolder(Folder())) << "a folder of a few names";

    CLoadingFeedback feedback([] { return 0LL; }, 500);
    feedback.ShowAtOnce();
    ASSERT_NE(feedback.GetWindow(), nullptr);
    EXPECT_TRUE(feedback.GetWindow()->isVisible());
    EXPECT_EQ(feedback.GetWindow()->GetText(), QStringLiteral("Loading meetings..."));
    feedback.Report(0, 120'000);
    EXPECT_EQ(feedback.GetWindow()->GetText(), LoadingText(0, 120'000));
}
