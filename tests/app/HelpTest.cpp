#include "app/Help.h"
#include "app/AboutDlg.h"
#include "app/Ask.h"
#include "app/HelpWindow.h"
#include "app/SyncLauncher.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/TempFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
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

// The page on show, by file name.
std::string PageOf(const CHelpWindow* window) {
    return window->Source().fileName().toStdString();
}

// Help, synchronisation and the about box must never bring up a message of their own.
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

// The folder that holds the program; where the compiled help file is looked for.
TEST_F(HelpTest, ModuleFolderPathKeepsTheProgramFolderWithBlanks) {
    EXPECT_EQ(ModuleFolderPathFor("/home/ann/My Programs/Tavelin 4/tavelin", "keshelp40.chm"),
              "/home/ann/My Programs/Tavelin 4/keshelp40.chm");
    EXPECT_EQ(ModuleFolderPathFor("/opt/a b/ c /tavelin", "x y.chm"), "/opt/a b/ c /x y.chm");
    EXPECT_EQ(ModuleFolderPathFor("/tavelin", "keshelp40.chm"), "/keshelp40.chm");
    EXPECT_EQ(ModuleFolderPathFor("tavelin", "keshelp40.chm"), "keshelp40.chm");

    EXPECT_EQ(GetModuleFolderPath(HelpFileName()),
              QCoreApplication::applicationDirPath() + "/keshelp40.chm");
}

TEST_F(HelpTest, ShowHelpUsesTheViewerOnlyForAnExistingFileWithAViewer) {
    CTempFolder folder;
    std::filesystem::create_directories(folder / "My Programs");
    const std::filesystem::path chm = folder / "My Programs" / "keshelp40.chm";
    {
        std::FILE* file = std::fopen(chm.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }

    // File and viewer: the file goes to the viewer; no window of the program's own.
    HelpTesting::Intercept(ToQString(chm), true);
    ShowHelp();
    EXPECT_EQ(HelpTesting::OpenedFiles(), QStringList{ToQString(chm)});
    EXPECT_EQ(CHelpWindow::Instance(), nullptr);

    // File without a viewer: the built-in window on the contents page.
    HelpTesting::Intercept(ToQString(chm), false);
    ShowHelp();
    EXPECT_TRUE(HelpTesting::OpenedFiles().isEmpty());
    ASSERT_NE(CHelpWindow::Instance(), nullptr);
    EXPECT_TRUE(CHelpWindow::Instance()->isVisible());
    EXPECT_EQ(PageOf(CHelpWindow::Instance()), "index.html");
    delete CHelpWindow::Instance();

    // A viewer but no file: the built-in window again.
    HelpTesting::Intercept(ToQString(folder / "missing.chm"), true);
    ShowHelp();
    EXPECT_TRUE(HelpTesting::OpenedFiles().isEmpty());
    ASSERT_NE(CHelpWindow::Instance(), nullptr);
    EXPECT_TRUE(CHelpWindow::Instance()->isVisible());
}

TEST_F(HelpTest, HelpWindowIsOneWindowWithWorkingNavigation) {
    HelpTesting::Intercept("/nowhere/keshelp40.chm", false);
    ShowHelp();
    CHelpWindow* window = CHelpWindow::Instance();
    ASSERT_NE(window, nullptr);
    QTextBrowser* browser = window->Browser();
    EXPECT_FALSE(window->isModal());
    EXPECT_GE(window->width(), 600);
    EXPECT_GE(window->height(), 450);
    EXPECT_TRUE(browser->toPlainText().contains("Contents")) << "index page did not load";
    EXPECT_EQ(window->windowTitle(), "Tavelin Help");

    auto* back = window->findChild<QAction*>("helpBack");
    auto* forward = window->findChild<QAction*>("helpForward");
    auto* home = window->findChild<QAction*>("helpHome");
    ASSERT_TRUE(back && forward && home);
    EXPECT_FALSE(back->isEnabled());

    browser->setSource(QUrl("calendar.html"));
    EXPECT_EQ(PageOf(window), "calendar.html");
    EXPECT_TRUE(window->windowTitle().startsWith("Calendar modes"));
    EXPECT_TRUE(back->isEnabled());
    back->trigger();
    EXPECT_EQ(PageOf(window), "index.html");
    EXPECT_TRUE(forward->isEnabled());
    forward->trigger();
    EXPECT_EQ(PageOf(window), "calendar.html");

    // Asking again while it is open keeps the reader's page and the same window.
    ShowHelp();
    EXPECT_EQ(CHelpWindow::Instance(), window);
    EXPECT_EQ(PageOf(window), "calendar.html");
    home->trigger();
    EXPECT_EQ(PageOf(window), "index.html");

    // Closed and asked for again: the same window, back on the contents page.
    browser->setSource(QUrl("keyboard.html"));
    window->close();
    EXPECT_FALSE(window->isVisible());
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
    QDirIterator it(":/help", {"*.html"});
    while (it.hasNext()) {
        pages << QFileInfo(it.next()).fileName();
    }
    EXPECT_GE(pages.size(), 8);
    EXPECT_TRUE(pages.contains("index.html"));
    EXPECT_TRUE(QFile::exists(":/help/help.css"));

    const QRegularExpression link(R"re((?:href|src)="([^"]+)")re");
    const QRegularExpression title("<title>[^<]+</title>");
    for (const QString& page : pages) {
        const QString html = readPage(page);
        EXPECT_TRUE(title.match(html).hasMatch()) << page.toStdString() << " has no title";
        for (auto match = link.globalMatch(html); match.hasNext();) {
            const QString target = match.next().captured(1);
            if (target.startsWith("http:") || target.startsWith("https:") ||
                target.startsWith("mailto:")) {
                continue;
            }
            const QString file =
                target.section('#', 0, 0).isEmpty() ? page : target.section('#', 0, 0);
            const QString anchor = target.section('#', 1);
            EXPECT_TRUE(QFile::exists(":/help/" + file))
                << page.toStdString() << " links to missing " << target.toStdString();
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(readPage(file).contains("name=\"" + anchor + "\""))
                    << page.toStdString() << " links to missing anchor " << target.toStdString();
            }
        }
    }
}

class SyncTest : public HelpTest {
protected:
    void SetUp() override {
        HelpTest::SetUp();
        m_path = qgetenv("PATH");
        qputenv("PATH", QByteArray(m_emptyFolder.Path().c_str()));
    }
    void TearDown() override {
        qputenv("PATH", m_path);
        HelpTest::TearDown();
    }
    static void SetTool(const QString& tool) {
        QSettings profile("Brindleware", "Tavelin 4.0");
        profile.setValue("Sync/Tool", tool);
        profile.sync();
    }

    CTempFolder m_emptyFolder;
    QByteArray m_path;
};

TEST_F(SyncTest, ConfiguredToolIsStartedToShowAndSynchronise) {
    SetTool("/opt/Sync Tools/wcesmgr");
    SyncTesting::Intercept();
    CSyncLauncher launcher;
    launcher.Launch();
    launcher.Finish();
    ASSERT_EQ(SyncTesting::StartRequests().size(), 1u);
    EXPECT_EQ(SyncTesting::StartRequests()[0].program, "/opt/Sync Tools/wcesmgr");
    EXPECT_EQ(SyncTesting::StartRequests()[0].arguments, QStringList({"/show", "/syncnow"}));
}

TEST_F(SyncTest, ToolOnThePathIsFoundWhenNoneIsConfigured) {
    CTempFolder bin;
    std::filesystem::create_directories(bin / "sync tools");
    const std::filesystem::path tool = bin / "sync tools" / "wcesmgr";
    bin.WriteFile("sync tools/wcesmgr", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    qputenv("PATH", QByteArray((bin / "sync tools").c_str()));

    SetTool("   "); // a blank entry names no tool
    SyncTesting::Intercept();
    CSyncLauncher().Launch();
    ASSERT_EQ(SyncTesting::StartRequests().size(), 1u);
    EXPECT_EQ(SyncTesting::StartRequests()[0].program, ToQString(tool));
}

TEST_F(SyncTest, WithoutAnyToolNothingHappens) {
    SyncTesting::Intercept();
    CSyncLauncher().Launch();
    EXPECT_TRUE(SyncTesting::StartRequests().empty());
    EXPECT_TRUE(CSyncLauncher::FindTool().isEmpty());

    // For real, too: no process, no message, no window.
    SyncTesting::Stop();
    const auto windowsBefore = QApplication::topLevelWidgets().size();
    CSyncLauncher launcher;
    launcher.Launch();
    launcher.Finish();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
}

void Click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, button, button,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

using AboutTest = HelpTest;

TEST_F(AboutTest, PictureCoversTheFixedSizeDialogWithoutButtons) {
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About Tavelin");
    EXPECT_EQ(dialog.size(), QSize(400, 250));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    ASSERT_NE(dialog.Picture(), nullptr);
    EXPECT_EQ(dialog.Picture()->geometry(), dialog.rect());
    EXPECT_TRUE(dialog.findChildren<QAbstractButton*>().isEmpty());
}

TEST_F(AboutTest, ClickAnywhereOnThePictureAccepts) {
    for (const QPoint at : {QPoint(1, 1), QPoint(200, 125), QPoint(398, 248)}) {
        CAboutDlg dialog;
        dialog.open();
        ASSERT_TRUE(dialog.isVisible());
        Click(dialog.Picture(), at, Qt::RightButton);
        EXPECT_TRUE(dialog.isVisible()) << "a right click is no click on the picture";
        Click(dialog.Picture(), at);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << at.x() << "," << at.y();
    }
}

TEST_F(AboutTest, EscapeAndCloseBoxReject) {
    {
        CAboutDlg dialog;
        dialog.open();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &escape);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    {
        CAboutDlg dialog;
        dialog.open();
        dialog.close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}

} // namespace
