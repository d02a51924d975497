#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"
#include "tools/screenshots/Screenshot.h"

#include "app/QuickAddPage.h"
#include "app/QuickSheet.h"

#include <QLineEdit>

namespace {

// The sheet as it opens on a fixed "now", optionally with a title and a venue typed.
std::unique_ptr<QWidget> Sheet(const QString& title, const QString& venue) {
    TestServices().SetNow(CDateTime(2026, 12, 7, 14, 5, 0));
    auto sheet = std::make_unique<CQuickSheet>(TestStore(), TestServices());
    TestServices().SetNow(std::nullopt);
    // Run() fills the page and is cancelled at once by the scripted services.
    sheet->Run();
    sheet->findChild<QLineEdit*>(QStringLiteral("title"))->setText(title);
    sheet->findChild<QLineEdit*>(QStringLiteral("venue"))->setText(venue);
    return sheet;
}

} // namespace

KES_SCREENSHOT("quick-add") {
    return Sheet(QString(), QString());
}

KES_SCREENSHOT("quick-add-filled") {
    return Sheet(QStringLiteral("Budget review 2027"), QStringLiteral("Room B, second floor"));
}
