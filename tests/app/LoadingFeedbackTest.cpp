#include "app/LoadingFeedback.h"
#include "app/LoadingWindow.h"
#include "tests/support/QtTestEnvironment.h"

using LoadingFeedbackTest = CQtTest;

TEST_F(LoadingFeedbackTest, TheWindowWaitsForASlowLoadAndCountsInTheLocalesDigits) {
    EXPECT_FALSE(ShouldShowLoadingWindow(499, 256, 100'000)) << "a quick load shows nothing";
    EXPECT_TRUE(ShouldShowLoadingWindow(500, 256, 100'000));
    EXPECT_FALSE(ShouldShowLoadingWindow(9'000, 100'000, 100'000)) << "nothing left to read";
    EXPECT_TRUE(ShouldShowLoadingWindow(20, 0, 10, 10)) << "the delay is the caller's";

    EXPECT_EQ(LoadingText(43'210, 100'000, QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("Loading meetings... 43,210 of 100,000"));
    EXPECT_EQ(LoadingText(43'210, 100'000, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("Loading meetings... 43.210 of 100.000"));
    EXPECT_EQ(ImportingText(43'210, 100'000, QLocale(QLocale::English, QLocale::UnitedStates)),
              QStringLiteral("Importing meetings... 43,210 of 100,000"));
}

TEST_F(LoadingFeedbackTest, ReportsOpenTheWindowOnceLoadingIsSlow) {
    long long now = 0;
    CLoadingFeedback feedback([&now] { return now; }, 500);
    feedback.Report(256, 1000);
    now = 400;
    feedback.Report(512, 1000);
    EXPECT_EQ(feedback.GetWindow(), nullptr) << "not before the delay";
    now = 700;
    feedback.Report(768, 1000);
    ASSERT_NE(feedback.GetWindow(), nullptr);
    EXPECT_TRUE(feedback.GetWindow()->isVisible());
    EXPECT_TRUE(feedback.GetWindow()->GetText().contains(QStringLiteral("768")));
    feedback.Report(1000, 1000);
    EXPECT_EQ(feedback.GetWindow()->GetText(), LoadingText(1000, 1000));

    CLoadingFeedback import([] { return 600LL; }, 500, ImportingText);
    import.Report(0, 2000);
    ASSERT_NE(import.GetWindow(), nullptr) << "parsing took long: the window comes at once";
    import.Report(1000, 2000);
    EXPECT_EQ(import.GetWindow()->GetText(), ImportingText(1000, 2000));

    CLoadingFeedback quick([] { return 5'000LL; }, 500);
    quick.Report(40, 40);
    EXPECT_EQ(quick.GetWindow(), nullptr) << "a load that is done needs no window";
}
