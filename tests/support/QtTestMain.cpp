#include "app/KesApp.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[]) {
    // Never the user's screen, settings or folders.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    CTempFolder home;
    ::setenv("XDG_CONFIG_HOME", (home.Path() / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home.Path() / "data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home.Path() / "cache").c_str(), 1);
    RedirectSettings(home.Path() / "settings");
    ::testing::InitGoogleTest(&argc, argv);
    // ctest lists the cases before running them; listing needs no application or screen.
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    // No test waits on a real message box, dialog, menu or program.
    CKesApp app(argc, argv, std::make_unique<CScriptedServices>());
    return RUN_ALL_TESTS();
}
