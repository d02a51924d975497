#include "sync/SyncRules.h"

#include <gtest/gtest.h>

// Every combination of what the last sync saw and what each side holds now.
TEST(SyncRulesTest, EveryCombinationKeepsEveryChange) {
    using enum SyncSide;
    using A = SyncAction;
    struct Row {
        bool synced;
        SyncSide local, server;
        bool equal;
        SyncAction expected;
    };
    const Row rows[] = {
        // Never synced (a new meeting or object, or a lost sync state).
        {false, absent, absent, false, A::none},
        {false, changed, absent, false, A::sendNew},
        {false, absent, changed, false, A::addLocal},
        {false, changed, changed, true, A::record},    // matched again, nothing to send
        {false, changed, changed, false, A::keepBoth}, // matched again, but they differ
        // Synced before.
        {true, same, same, false, A::none},
        {true, changed, same, false, A::sendChange},
        {true, same, changed, false, A::changeLocal},
        {true, same, changed, true, A::record}, // our own write coming back
        {true, changed, changed, false, A::keepBoth},
        {true, changed, changed, true, A::record}, // the same edit on both sides
        {true, absent, same, false, A::deleteServer},
        {true, absent, changed, false, A::addLocal}, // the change wins over the delete
        {true, same, absent, false, A::deleteLocal},
        {true, changed, absent, false, A::sendNew}, // the change wins over the delete
        {true, absent, absent, false, A::forget},
    };
    for (const Row& row : rows) {
        const SyncAction action = DecideSync({row.synced, row.local, row.server, row.equal});
        EXPECT_EQ(action, row.expected)
            << "synced " << row.synced << ", local " << int(row.local) << ", server "
            << int(row.server) << ", equal " << row.equal << ": got " << SyncActionName(action);
    }
}
