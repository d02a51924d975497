#include "app/Help.h"
#include "Version.h"
#include "app/AboutDlg.h"
#include "app/HelpWindow.h"
#include "app/SyncLauncher.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WidgetDriving.h"

#include <QFile>
#include <QSettings>
#include <QTextBrowser>

#include <filesystem>

namespace {

std::string PageOf(const CHelpWindow* window) {
    return window->Source().fileName().toStdString();
}

// Help, synchronisation and the about box never bring up a message of their own.
class HelpTest : public CQtTest {
protected:
    void TearDown() override {
        delete CHelpWindow::Instance();
        EXPECT_TRUE(TestServices().Shown().isEmpty())
            << TestServices().Shown().join('\n').toStdString();
        CQtTest::TearDown();
    }
};

// The viewer gets the file only when both are there; otherwise the program's own window
// opens on the contents, and an open one stays on the page being read until it is closed.
TEST_F(HelpTest, ShowHelpOpensTheFileWithAViewerElseTheHelpWindow) {
    // The help file lies beside the program; the test puts one there for a while.
    const QString chm = GetModuleFolderPath(HelpFileName());
    ASSERT_FALSE(QFile::exists(chm));
    struct SRemove {
        QString file;
        ~SRemove() { QFile::remove(file); }
    } remove{chm};
    ASSERT_TRUE(QFile(chm).open(QIODevice::WriteOnly));
    CScriptedServices& services = TestServices();
    services.SetViewerOpens(true);
    ShowHelp(services);
    EXPECT_EQ(services.OpenedFiles(), QStringList{chm});
    EXPECT_EQ(CHelpWindow::Instance(), nullptr);

    for (const auto& [present, hasViewer] : {std::pair{true, false}, std::pair{false, true}}) {
        services.Reset();
        if (!present) {
            QFile::remove(chm);
        }
        services.SetViewerOpens(hasViewer);
        ShowHelp(services);
        EXPECT_TRUE(services.OpenedFiles().isEmpty());
        ASSERT_NE(CHelpWindow::Instance(), nullptr);
        EXPECT_TRUE(CHelpWindow::Instance()->isVisible());
        EXPECT_EQ(PageOf(CHelpWindow::Instance()), "index.html");
    }
    CHelpWindow* window = CHelpWindow::Instance();
    window->Browser()->setSource(QUrl("keyboard.html"));
    ShowHelp(services);
    EXPECT_EQ(PageOf(window), "keyboard.html");
    window->close();
    ShowHelp(services);
    EXPECT_EQ(CHelpWindow::Instance(), window);
    EXPECT_EQ(PageOf(window), "index.html");
}

// The configured tool is started as it is named; with none (a blank entry, nothing on the
// PATH) nothing starts.
TEST_F(HelpTest, SyncStartsTheConfiguredToolAndNothingWithoutOne) {
    const QByteArray path = qgetenv("PATH");
    CTempFolder bin;
    qputenv("PATH", QByteArray(bin.Path().c_str()));
    for (const QString tool : {"   ", "/opt/Sync Tools/wcesmgr"}) {
        QSettings("Brindleware", TAVELIN_NAME_AND_VERSION).setValue("Sync/Tool", tool);
        CSyncLauncher(TestServices()).Launch();
    }
    qputenv("PATH", path);
    const auto& started = TestServices().StartedPrograms();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, "/opt/Sync Tools/wcesmgr");
    EXPECT_EQ(started[0].arguments, QStringList({"/show", "/syncnow"}));
}

// The about box has no focusable part: Enter still closes it, as a left click on the picture
// does; a right click does nothing.
TEST_F(HelpTest, AboutBoxClosesOnEnterOrALeftClick) {
    CAboutDlg about;
    Activate(about);
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    Activate(about);
    ClickAt(about.Picture(), QPoint(398, 248), Qt::RightButton);
    EXPECT_TRUE(about.isVisible()) << "a right click is no click on the picture";
    ClickAt(about.Picture(), QPoint(398, 248), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

} // namespace
