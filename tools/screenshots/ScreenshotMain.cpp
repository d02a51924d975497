#include "tools/screenshots/Screenshot.h"

#include "app/KesApp.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

std::map<std::string, ScreenshotMaker>& Registry() {
    static std::map<std::string, ScreenshotMaker> registry;
    return registry;
}

} // namespace

CScreenshotRegistrar::CScreenshotRegistrar(const char* name, ScreenshotMaker maker) {
    Registry().emplace(name, std::move(maker));
}

int main(int argc, char* argv[]) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    CTempFolder home;
    ::setenv("XDG_CONFIG_HOME", (home.Path() / "config").c_str(), 1);
    RedirectSettings(home.Path() / "settings");
    CKesApp app(argc, argv, std::make_unique<CScriptedServices>());
    // KES_SCREENSHOT_DIR puts a second set elsewhere, e.g. one taken with QT_SCALE_FACTOR=2.
    const QString folder = qEnvironmentVariableIsSet("KES_SCREENSHOT_DIR")
                               ? qEnvironmentVariable("KES_SCREENSHOT_DIR")
                               : QStringLiteral(SCREENSHOT_DIR);
    QDir().mkpath(folder);

    int failures = 0;
    for (const auto& [name, maker] : Registry()) {
        CTempFolder workingDirectory;
        SetWorkingDirectory(workingDirectory.Path());
        TestStore().RemoveAll();
        TestServices().Reset();
        std::unique_ptr<QWidget> widget = maker();
        if (!widget) {
            std::fprintf(stderr, "%s: nothing to show\n", name.c_str());
            ++failures;
            continue;
        }
        widget->show();
        QApplication::processEvents();
        const QString path =
            folder + QLatin1Char('/') + QString::fromStdString(name) + QStringLiteral(".png");
        if (!widget->grab().save(path)) {
            std::fprintf(stderr, "%s: cannot save %s\n", name.c_str(), qPrintable(path));
            ++failures;
        }
    }
    std::printf("%zu screenshots in %s\n", Registry().size(), qPrintable(folder));
    return failures == 0 ? 0 : 1;
}
