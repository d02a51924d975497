#include "app/Help.h"
#include "app/AboutDlg.h"
#include "app/Ask.h"
#include "app/HelpWindow.h"
#include "app/SyncLauncher.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/TempFolder.h"

#include <QAction>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSettings>
#include <QTextBrowser>

#include <filesystem>

namespace {

QString ToQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

std::string PageOf(const CHelpWindow* window) {
    return window->Source().fileName().toStdString();
}

// Help, synchronisation and the about box never bring up a message of their own.
class HelpTest : public CQtTest {
protected:
    void SetUp() override {
        CQtTest::SetUp();
        AskTesting::Script({});
    }
    void TearDown() override {
        HelpTesting::Stop();
        SyncTesting::Stop();
        delete CHelpWindow::Instance();
        EXPECT_TRUE(AskTesting::Shown().isEmpty()) << AskTesting::Shown().join('\n').toStdString();
        CQtTest::TearDown();
    }
};

TEST_F(HelpTest, ModuleFolderPathKeepsTheProgramFolderWithBlanks) {
    EXPECT_EQ(ModuleFolderPathFor("/home/ann/My Programs/Tavelin 4/tavelin", "x y.chm"),
              "/home/ann/My Programs/Tavelin 4/x y.chm");
    EXPECT_EQ(ModuleFolderPathFor("/tavelin", "keshelp40.chm"), "/keshelp40.chm");
    EXPECT_EQ(ModuleFolderPathFor("tavelin", "keshelp40.chm"), "keshelp40.chm");
    EXPECT_EQ(GetModuleFolderPath(HelpFileName()),
              QCoreApplication::applicationDirPath() + "/keshelp40.chm");
}

TEST_F(HelpTest, ShowHelpUsesTheViewerOnlyForAnExistingFileWithAViewer) {
    CTempFolder folder;
    folder.WriteFile("keshelp40.chm", "");
    const QString chm = ToQString(folder / "keshelp40.chm");
    HelpTesting::Intercept(chm, true);
    ShowHelp();
    EXPECT_EQ(HelpTesting::OpenedFiles(), QStringList{chm});
    EXPECT_EQ(CHelpWindow::Instance(), nullptr);

    for (const auto& [file, hasViewer] :
         {std::pair{chm, false}, std::pair{chm + ".missing", true}}) {
        HelpTesting::Intercept(file, hasViewer);
        ShowHelp();
        EXPECT_TRUE(HelpTesting::OpenedFiles().isEmpty());
        ASSERT_NE(CHelpWindow::Instance(), nullptr);
        EXPECT_TRUE(CHelpWindow::Instance()->isVisible());
        EXPECT_EQ(PageOf(CHelpWindow::Instance()), "index.html");
        delete CHelpWindow::Instance();
    }
}

// One window serves every request; a closed one comes back on the contents page.
TEST_F(HelpTest, HelpWindowNavigatesAndIsReused) {
    HelpTesting::Intercept("/nowhere/keshelp40.chm", false);
    ShowHelp();
    CHelpWindow* window = CHelpWindow::Instance();
    ASSERT_NE(window, nullptr);
    window->Browser()->setSource(QUrl("calendar.html"));
    EXPECT_TRUE(window->windowTitle().startsWith("Calendar modes"));
    window->findChild<QAction*>("helpBack")->trigger();
    EXPECT_EQ(PageOf(window), "index.html");
    EXPECT_EQ(window->windowTitle(), "Tavelin Help");

    window->Browser()->setSource(QUrl("keyboard.html"));
    ShowHelp();
    EXPECT_EQ(CHelpWindow::Instance(), window);
    EXPECT_EQ(PageOf(window), "keyboard.html") << "an open window stays on the page being read";
    window->close();
    ShowHelp();
    EXPECT_EQ(CHelpWindow::Instance(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(PageOf(window), "index.html");
}

// Every page has a title, and every link and anchor between the pages leads somewhere.
TEST_F(HelpTest, HelpPagesLinkOnlyToPagesAndAnchorsThatExist) {
    auto readPage = [](const QString& name) {
        QFile file(":/help/" + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QStringList pages;
    for (QDirIterator it(":/help", {"*.html"}); it.hasNext();) {
        pages << QFileInfo(it.next()).fileName();
    }
    EXPECT_TRUE(pages.contains("index.html"));
    const QRegularExpression link(R"re((?:href|src)="([^"#:]*)(?:#([^"]*))?")re");
    for (const QString& page : pages) {
        const QString html = readPage(page);
        EXPECT_TRUE(html.contains(QRegularExpression("<title>[^<]+</title>")))
            << page.toStdString();
        for (auto match = link.globalMatch(html); match.hasNext();) {
            const auto found = match.next();
            const QString file = found.captured(1).isEmpty() ? page : found.captured(1);
            EXPECT_TRUE(QFile::exists(":/help/" + file))
                << page.toStdString() << " links to " << found.captured(0).toStdString();
            if (!found.captured(2).isEmpty()) {
                EXPECT_TRUE(readPage(file).contains("name=\"" + found.captured(2) + "\""))
                    << page.toStdString() << " links to " << found.captured(0).toStdString();
            }
        }
    }
}

// The configured tool, else one found on the PATH, else nothing is started.
TEST_F(HelpTest, SyncStartsTheConfiguredToolElseOneOnThePath) {
    const QByteArray path = qgetenv("PATH");
    CTempFolder bin;
    qputenv("PATH", QByteArray(bin.Path().c_str()));
    auto launchWith = [](const QString& tool) {
        QSettings("Brindleware", "Tavelin 4.0").setValue("Sync/Tool", tool);
        CSyncLauncher().Launch();
    };
    SyncTesting::Intercept();
    launchWith(""); // no tool at all
    launchWith("/opt/Sync Tools/wcesmgr");
    bin.WriteFile("wcesmgr", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(bin / "wcesmgr", std::filesystem::perms::owner_all);
    launchWith("   "); // a blank entry names no tool
    qputenv("PATH", path);

    const auto& started = SyncTesting::StartRequests();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].program, "/opt/Sync Tools/wcesmgr");
    EXPECT_EQ(started[0].arguments, QStringList({"/show", "/syncnow"}));
    EXPECT_EQ(started[1].program, ToQString(bin / "wcesmgr"));
}

void Click(QWidget* widget, QPoint at, Qt::MouseButton button) {
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, at, global, button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

// One picture covers the whole box; a left click on it accepts, Escape rejects.
TEST_F(HelpTest, AboutBoxIsAPictureThatClosesOnAClick) {
    CAboutDlg dialog;
    EXPECT_EQ(dialog.size(), QSize(400, 250));
    EXPECT_EQ(dialog.Picture()->geometry(), dialog.rect());

    dialog.open();
    Click(dialog.Picture(), QPoint(398, 248), Qt::RightButton);
    EXPECT_TRUE(dialog.isVisible()) << "a right click is no click on the picture";
    Click(dialog.Picture(), QPoint(398, 248), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    dialog.open();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

} // namespace
