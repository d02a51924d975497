#pragma once

#include "tests/support/FailingFileCalls.h"
#include "tests/support/WidgetDriving.h"
#include "ui/ListBase.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Clicks a child of `parent` found by its objectName.
inline void Click(QWidget& parent, const char* name) {
    QWidget* child = Child(parent, name);
    ASSERT_NE(child, nullptr);
    QTest::mouseClick(child, Qt::LeftButton);
}

// Little-endian pieces of the content files' bytes.
inline std::string Int32(std::int32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xff);
    }
    return bytes;
}

inline std::string Str(const std::string& text) {
    return std::string(1, static_cast<char>(text.size())) + text;
}

// Clicks the middle of a list's row, as the mouse does.
inline void ClickRow(CListBase& list, int row) {
    ASSERT_TRUE(list.IsItem(row)) << "no row " << row;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      list.ViewportRect(row).center());
}

// Plays the dialog of `objectName` the next times it runs: shows it, lets `fill` type into
// it, then presses OK; a dialog that refuses OK is cancelled. Counts the runs in `runs`.
inline void ScriptDialog(CScriptedServices& services, const char* objectName,
                         std::function<void(QDialog&)> fill, int* runs = nullptr) {
    services.SetDialogScript(QString::fromLatin1(objectName), [fill, runs](QDialog& dialog) {
        if (runs) {
            ++*runs;
        }
        Activate(dialog);
        fill(dialog);
        if (dialog.isVisible()) {
            Click(dialog, "okButton");
        }
        if (dialog.isVisible()) {
            Click(dialog, "cancelButton");
        }
        // As the desktop does when a dialog closes, the window under it is active again.
        if (QWidget* owner = dialog.parentWidget()) {
            Activate(*owner->window());
        }
        return dialog.result();
    });
}

inline std::string ItemText(const std::string& item) {
    return item;
}
template <typename Item> std::string ItemText(const Item& item) {
    return item.text;
}
