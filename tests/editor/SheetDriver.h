#pragma once

#include "editor/MeetingSheetPage.h"
#include "store/FileError.h"
#include "tests/editor/EditorTestSupport.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWizard>

#include <functional>
#include <string>
#include <vector>

// What the user does to a meeting sheet, with real clicks and key presses.
namespace SheetDriver {

// Puts the focus into `edit` as a click would, selects what it holds and types `text` over it.
inline void TypeInto(QWidget* edit, const QString& text) {
    ASSERT_NE(edit, nullptr);
    edit->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), edit) << edit->objectName().toStdString();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

inline void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << button->text().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void Press(QWizard& wizard, QWizard::WizardButton which) {
    Click(wizard.button(which));
}

inline void OpenTab(QDialog& sheet, int index) {
    auto* tabs = sheet.findChild<QTabWidget*>(QStringLiteral("sheetTabs"));
    ASSERT_NE(tabs, nullptr);
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    ASSERT_EQ(tabs->currentIndex(), index);
}

// A stand-in for a content page: one line of text, and a log of every load and save. It can
// be told to fail its next saves the way the store fails.
class CProbePage : public CMeetingSheetPage {
public:
    CProbePage(CMeetingStore& store, CDesktopServices& services, std::string id, QString name,
               std::vector<std::string>& log, int titleId = 61453, int subtitleId = 61454)
        : CMeetingSheetPage(store, services, std::move(id)), m_name(std::move(name)), m_log(log),
          m_titleId(titleId), m_subtitleId(subtitleId) {
        setObjectName(m_name);
        m_edit = new QLineEdit(this);
        m_edit->setObjectName(m_name + QStringLiteral("Edit"));
        (new QVBoxLayout(this))->addWidget(m_edit);
    }

    QString Caption() const override { return m_name; }
    int HeaderTitleId() const override { return m_titleId; }
    int HeaderSubtitleId() const override { return m_subtitleId; }

    void Save(SaveReason reason) override {
        if (failures > 0) {
            --failures;
            throw CFileError("/meetings/" + m_name.toStdString() + ".agd", "disk full");
        }
        const char* how = reason == SaveReason::next     ? "next"
                          : reason == SaveReason::finish ? "finish"
                                                         : "ok";
        m_log.push_back("save " + m_name.toStdString() + " " + how + " " +
                        m_edit->text().toStdString());
        if (onSave) {
            onSave(m_meetingId);
        }
    }

    QLineEdit* Edit() const { return m_edit; }
    int failures = 0;
    // What the page writes when it saves, given the meeting id.
    std::function<void(const std::string&)> onSave;

protected:
    void Load() override { m_log.push_back("load " + m_name.toStdString()); }

private:
    QString m_name;
    std::vector<std::string>& m_log;
    int m_titleId;
    int m_subtitleId;
    QLineEdit* m_edit = nullptr;
};

} // namespace SheetDriver
