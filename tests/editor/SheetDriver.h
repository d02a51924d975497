#pragma once

#include "tests/editor/EditorTestSupport.h"

#include <QWizard>

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

inline void Press(QWizard& wizard, QWizard::WizardButton which) {
    Click(wizard.button(which));
}

} // namespace SheetDriver
