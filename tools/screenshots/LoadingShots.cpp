#include "tools/screenshots/Screenshot.h"

#include "app/LoadingWindow.h"

KES_SCREENSHOT("loading-window") {
    auto window = std::make_unique<CLoadingWindow>();
    window->SetProgress(43'210, 100'000);
    return window;
}

KES_SCREENSHOT("importing-window") {
    auto window = std::make_unique<CLoadingWindow>(nullptr, ImportingText);
    window->SetProgress(43'210, 100'000);
    return window;
}
