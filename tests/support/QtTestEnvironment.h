#pragma once

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>

// Every widget test runs against its own settings file and its own working directory, an
// empty store and fresh scripted desktop services (the real clock, no answers queued).
class CQtTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The working directory of this test (already the store's).
    const std::filesystem::path& Folder() const { return m_folder->Path(); }
    // A file of that directory, as the desktop's pickers name it.
    QString PathOf(const std::string& name) const {
        return QString::fromStdString((Folder() / name).string());
    }
    QString SettingsFile() const;
    // Whether the program wrote anything into its settings.
    static bool AnySettingWritten();

private:
    std::unique_ptr<CTempFolder> m_folder;
    std::unique_ptr<CTempFolder> m_settings;
};

class CMeetingStore;
class CScriptedServices;

// The program's store and the scripted desktop services the test program runs on, as the
// application object hands them to the frame.
CMeetingStore& TestStore();
CScriptedServices& TestServices();

// Points QSettings at `folder` for the user scope.
void RedirectSettings(const std::filesystem::path& folder);
