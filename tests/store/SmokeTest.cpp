#include "store/MeetingMap.h"

#include <gtest/gtest.h>

TEST(StoreSmoke, Hash) { EXPECT_EQ(CMeetingMap::HashKey("2004030514070910"), 693842788u); }
