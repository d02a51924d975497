#pragma once

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>

// Every widget test runs against its own settings file and its own working directory, an
// empty store, the real clock and no scripted answers left over from another test.
class CQtTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The working directory of this test (already the store's).
    const std::filesystem::path& Folder() const { return m_folder->Path(); }
    QString SettingsFile() const;

private:
    std::unique_ptr<CTempFolder> m_folder;
    std::unique_ptr<CTempFolder> m_settings;
};

class CDesktopServices;
class CMeetingStore;

// The program's store and desktop services, as the application object hands them to the frame.
CMeetingStore& TestStore();
CDesktopServices& TestServices();

// Points QSettings at `folder` for the user scope.
void RedirectSettings(const std::filesystem::path& folder);
