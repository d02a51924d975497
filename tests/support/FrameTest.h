#pragma once

#include "app/MainFrame.h"
#include "tests/support/WidgetDriving.h"

#include <memory>

// A widget test around the program's main window, made on the test's store and services and
// gone before the test's folders are.
class CFrameTest : public CQtTest {
protected:
    void TearDown() override {
        frame.reset();
        CQtTest::TearDown();
    }

    CMainFrame& MakeFrame() {
        frame = std::make_unique<CMainFrame>(TestStore(), TestServices());
        return *frame;
    }

    std::unique_ptr<CMainFrame> frame;
};
