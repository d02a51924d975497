#include "editor/ContentListKeys.h"

ContentListKey ContentListKeyOf(int key, Qt::KeyboardModifiers modifiers) {
    // The keypad's arrows and Delete are the same keys.
    modifiers &= ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        if (key == Qt::Key_Delete) {
            return ContentListKey::remove;
        }
        if (key == Qt::Key_F2) {
            return ContentListKey::modify;
        }
    } else if (modifiers == Qt::AltModifier) {
        if (key == Qt::Key_Up) {
            return ContentListKey::moveUp;
        }
        if (key == Qt::Key_Down) {
            return ContentListKey::moveDown;
        }
    }
    return ContentListKey::none;
}
