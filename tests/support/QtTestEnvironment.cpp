#include "tests/support/QtTestEnvironment.h"

#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "tests/support/ScriptedServices.h"

#include "Version.h"
#include "app/KesApp.h"
#include "store/Clock.h"

#include <QSettings>

CMeetingStore& TestStore() {
    return CKesApp::Instance()->GetStore();
}

CScriptedServices& TestServices() {
    return dynamic_cast<CScriptedServices&>(CKesApp::Instance()->GetServices());
}

void RedirectSettings(const std::filesystem::path& folder) {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(folder.string()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder.string()));
}

void CQtTest::SetUp() {
    m_folder = std::make_unique<CTempFolder>();
    m_settings = std::make_unique<CTempFolder>();
    RedirectSettings(m_settings->Path());
    SetWorkingDirectory(m_folder->Path());
    TestStore().RemoveAll();
    TestServices().Reset();
}

void CQtTest::TearDown() {
    TestServices().Reset();
    TestStore().RemoveAll();
    SetWorkingDirectory({});
}

bool CQtTest::AnySettingWritten() {
    return !QSettings(QStringLiteral("Brindleware"), QStringLiteral(TAVELIN_NAME_AND_VERSION))
                .allKeys()
                .isEmpty();
}

QString CQtTest::SettingsFile() const {
    return QString::fromStdString(
        (m_settings->Path() / "Brindleware" / TAVELIN_NAME_AND_VERSION ".conf").string());
}
