#include "editor/AttendeesPage.h"
#include "editor/AttendeeListCtrl.h"
#include "store/ContentFiles.h"
#include "tests/editor/EditorTestSupport.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

class AttendeesPageTest : public CContentPageTest<CAttendeesPage, CAttendeeListCtrl> {
protected:
    void SetUp() override {
        CContentPageTest::SetUp();
        m_name = m_page->findChild<QLineEdit*>(QStringLiteral("attendeeName"));
        ASSERT_NE(m_name, nullptr);
    }

    QLineEdit* m_name = nullptr;
};

// In the sheet, Enter in a filled name box adds the name and leaves the sheet open; in an empty
// box it still reaches the sheet's default button.
TEST_F(AttendeesPageTest, EnterInTheNameBoxAddsInsteadOfClosingTheSheet) {
    QDialog sheet;
    auto* layout = new QVBoxLayout(&sheet);
    m_page->setParent(&sheet);
    layout->addWidget(m_page.get());
    auto* ok = new QPushButton(QStringLiteral("OK"), &sheet);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &sheet, &QDialog::accept);
    layout->addWidget(ok);
    Activate(sheet);
    m_name->setFocus();
    Type("Ann");
    Press(Qt::Key_Return);
    EXPECT_TRUE(sheet.isVisible()) << "Enter after a name closed the sheet";
    EXPECT_EQ(m_name->text(), "") << "the box was not emptied for the next name";
    EXPECT_EQ(QApplication::focusWidget(), m_name) << "the focus left the name box";
    Type("Bob");
    Click(*m_page, "addButton");
    EXPECT_EQ(QApplication::focusWidget(), m_name);
    Type("   ");
    Press(Qt::Key_Enter);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Ann", "Bob", "   "})) << "blanks are a name";
    Press(Qt::Key_Return);
    EXPECT_FALSE(sheet.isVisible()) << "Enter in the empty box did not reach the default button";
    EXPECT_EQ(Texts().size(), 3u);
    m_page->setParent(nullptr);

    m_page->Save(CMeetingSheetPage::SaveReason::next);
    EXPECT_EQ(FileBytes(ContentFilePath(ContentKind::attendees, meetingId)),
              Int32(3) + Str("Ann") + Str("Bob") + Str("   "));
}

// Next pressed from the keyboard while a name is being edited: the name typed is saved.
TEST_F(AttendeesPageTest, SavingWhileANameIsEditedSavesTheTypedName) {
    WriteAttendeeFile(meetingId, {"Ann", "Bob"});
    Activate(*m_page);
    ClickRow(*m_list, 1);
    m_list->setFocus();
    Press(Qt::Key_F2);
    ASSERT_TRUE(m_list->IsEditing());
    Press(Qt::Key_A, Qt::ControlModifier);
    Type("Robert");
    m_page->Save(CMeetingSheetPage::SaveReason::next);
    EXPECT_FALSE(m_list->IsEditing());
    EXPECT_EQ(ReadAttendeeFile(meetingId), (std::vector<std::string>{"Ann", "Robert"}));
}

} // namespace
