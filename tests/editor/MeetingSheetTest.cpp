#include "editor/MeetingSheet.h"
#include "tests/editor/SheetDriver.h"

#include <QDialogButtonBox>

using namespace SheetDriver;
using Log = std::vector<std::string>;

namespace {

const std::string meeting = "2026120109000010";

class MeetingSheetTest : public CQtTest {
protected:
    // Pages named A, B, ... in order; the first shows no header band, like the details page.
    std::vector<MeetingPageMaker> Pages(int count) {
        std::vector<MeetingPageMaker> makers;
        for (int i = 0; i < count; ++i) {
            makers.push_back(
                [this, i](CMeetingStore& store, CDesktopServices& services, const std::string& id) {
                    const QString name(QChar('A' + i));
                    return i == 0 ? new CProbePage(store, services, id, name, log, 0, 0)
                                  : new CProbePage(store, services, id, name, log);
                });
        }
        return makers;
    }

    std::unique_ptr<CMeetingSheet> MakeSheet(CMeetingSheet::Mode mode, int pages) {
        return std::make_unique<CMeetingSheet>(mode, TestStore(), TestServices(), meeting,
                                               Pages(pages));
    }

    static CProbePage& Page(const CMeetingSheet& sheet, int index) {
        return static_cast<CProbePage&>(sheet.GetPage(index));
    }

    Log log;
};

TEST_F(MeetingSheetTest, WizardLoadsOnArrivalAndSavesOnNextAndOnFinishOnly) {
    auto sheet = MakeSheet(CMeetingSheet::Mode::add, 3);
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        Activate(wizard);
        EXPECT_EQ(log, (Log{"load A"})) << "only the first page loads at the start";
        EXPECT_FALSE(wizard.button(QWizard::BackButton)->isEnabled()) << "nothing before page 1";
        EXPECT_FALSE(wizard.button(QWizard::FinishButton)->isVisible());
        EXPECT_FALSE(wizard.currentPage()->pixmap(QWizard::WatermarkPixmap).isNull())
            << "the first page stands over the watermark";
        TypeInto(Page(*sheet, 0).Edit(), "one");
        Press(wizard, QWizard::NextButton);
        Press(wizard, QWizard::BackButton);
        TypeInto(Page(*sheet, 0).Edit(), "two");
        Press(wizard, QWizard::NextButton);
        Press(wizard, QWizard::NextButton);
        EXPECT_FALSE(wizard.button(QWizard::NextButton)->isVisible()) << "the last page";
        TypeInto(Page(*sheet, 2).Edit(), "last");
        Press(wizard, QWizard::FinishButton);
        return wizard.result();
    });
    EXPECT_EQ(sheet->Run(), CMeetingSheet::Result::finished);
    EXPECT_EQ(log, (Log{"load A", "save A next one", "load B", "save A next two", "save B next ",
                        "load C", "save C finish last"}))
        << "Back saves nothing, each page loads once, and walking on saves again";
}

TEST_F(MeetingSheetTest, WizardCancelSavesNothingMoreAndFailedSaveStaysOnThePage) {
    auto sheet = MakeSheet(CMeetingSheet::Mode::add, 3);
    Page(*sheet, 1).failures = 1;
    TestServices().SetDialogScript("meetingWizard", [&](QDialog& dialog) {
        auto& wizard = static_cast<QWizard&>(dialog);
        Activate(wizard);
        Press(wizard, QWizard::NextButton);
        TypeInto(Page(*sheet, 1).Edit(), "typed");
        Press(wizard, QWizard::NextButton);
        EXPECT_EQ(wizard.currentId(), 1) << "a page that cannot save keeps the wizard on it";
        EXPECT_EQ(Page(*sheet, 1).Edit()->text(), QStringLiteral("typed"));
        EXPECT_EQ(TestServices().ShownAs(CScriptedServices::Kind::error),
                  QStringList{"The file /meetings/B.agd could not be changed: disk full."});
        Press(wizard, QWizard::NextButton);
        EXPECT_EQ(wizard.currentId(), 2) << "the retry went through";
        TypeInto(Page(*sheet, 2).Edit(), "lost");
        Press(wizard, QWizard::CancelButton);
        return wizard.result();
    });
    EXPECT_EQ(sheet->Run(), CMeetingSheet::Result::cancelled);
    EXPECT_EQ(log, (Log{"load A", "save A next ", "load B", "save B next typed", "load C"}));
}

TEST_F(MeetingSheetTest, TabsLoadWhenFirstShownAndOkSavesThoseInPageOrder) {
    auto sheet = MakeSheet(CMeetingSheet::Mode::modify, 4);
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        Activate(dialog);
        const auto buttons = dialog.findChild<QDialogButtonBox*>()->buttons();
        EXPECT_EQ(buttons.size(), 2) << "OK and Cancel, no Apply";
        EXPECT_EQ(log, (Log{"load A"}));
        OpenTab(dialog, 3);
        OpenTab(dialog, 1);
        OpenTab(dialog, 3);
        TypeInto(Page(*sheet, 3).Edit(), "d");
        Click(dialog.findChild<QAbstractButton*>("okButton"));
        return dialog.result();
    });
    EXPECT_EQ(sheet->Run(), CMeetingSheet::Result::saved);
    EXPECT_EQ(log, (Log{"load A", "load D", "load B", "save A ok ", "save B ok ", "save D ok d"}))
        << "page C was never shown: neither loaded nor saved";
}

TEST_F(MeetingSheetTest, TabsCancelSavesNothingAndFailedOkShowsThePageThatFailed) {
    auto cancelled = MakeSheet(CMeetingSheet::Mode::modify, 2);
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        Activate(dialog);
        OpenTab(dialog, 1);
        Click(dialog.findChild<QAbstractButton*>("cancelButton"));
        return dialog.result();
    });
    EXPECT_EQ(cancelled->Run(), CMeetingSheet::Result::cancelled);
    EXPECT_EQ(log, (Log{"load A", "load B"}));

    log.clear();
    auto sheet = MakeSheet(CMeetingSheet::Mode::modify, 3);
    Page(*sheet, 1).failures = 1;
    TestServices().SetDialogScript("modifyMeetingSheet", [&](QDialog& dialog) {
        Activate(dialog);
        OpenTab(dialog, 1);
        TypeInto(Page(*sheet, 1).Edit(), "kept");
        OpenTab(dialog, 0);
        Click(dialog.findChild<QAbstractButton*>("okButton"));
        EXPECT_TRUE(dialog.isVisible()) << "the sheet stays open after a failed save";
        EXPECT_EQ(dialog.findChild<QTabWidget*>()->currentIndex(), 1) << "on the page that failed";
        EXPECT_EQ(TestServices().ShownAs(CScriptedServices::Kind::error).size(), 1);
        Click(dialog.findChild<QAbstractButton*>("okButton"));
        return dialog.result();
    });
    EXPECT_EQ(sheet->Run(), CMeetingSheet::Result::saved);
    EXPECT_EQ(log, (Log{"load A", "load B", "save A ok ", "save A ok ", "save B ok kept"}));
}

} // namespace
