#include "app/StringTable.h"
#include "tests/support/QtTestEnvironment.h"

using AppSmokeTest = CQtTest;

TEST_F(AppSmokeTest, StringTableLoads) { EXPECT_EQ(LoadResString(57345), "Ready"); }
