#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

// One picture for a person to look at: a function that builds the widget in the state to
// show; the harness sizes nothing, shows it offscreen, lets it lay out and grabs it.
using ScreenshotMaker = std::function<std::unique_ptr<QWidget>()>;

struct CScreenshotRegistrar {
    CScreenshotRegistrar(const char* name, ScreenshotMaker maker);
};

#define KES_SCREENSHOT_CONCAT2(a, b) a##b
#define KES_SCREENSHOT_CONCAT(a, b) KES_SCREENSHOT_CONCAT2(a, b)
// KES_SCREENSHOT("main-agenda") { ... return widget; }
#define KES_SCREENSHOT(name)                                                                       \
    static std::unique_ptr<QWidget> KES_SCREENSHOT_CONCAT(MakeShot_, __LINE__)();                  \
    static const CScreenshotRegistrar KES_SCREENSHOT_CONCAT(shotRegistrar_, __LINE__)(             \
        name, &KES_SCREENSHOT_CONCAT(MakeShot_, __LINE__));                                        \
    static std::unique_ptr<QWidget> KES_SCREENSHOT_CONCAT(MakeShot_, __LINE__)()
