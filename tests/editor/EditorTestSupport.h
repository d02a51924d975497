#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// Shows a window and makes it the active one, so that focus and key presses reach it.
inline void Activate(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Presses a key on whichever widget has the focus, as the keyboard does.
inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "a key pressed while nothing has the focus";
    QTest::keyClick(focused, key, modifiers);
}

// Types into whichever widget has the focus.
inline void Type(const QString& text) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr) << "typing while nothing has the focus";
    QTest::keyClicks(focused, text);
}

inline QString FocusName() {
    QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QStringLiteral("<nothing>");
}

// Clicks a child of `parent` found by its objectName.
template <typename T = QWidget> T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

inline void Click(QWidget& parent, const char* name) {
    QWidget* child = Child(parent, name);
    ASSERT_NE(child, nullptr);
    QTest::mouseClick(child, Qt::LeftButton);
}

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
