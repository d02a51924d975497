#pragma once

#include "store/MeetingStore.h"
#include "tests/support/QtTestEnvironment.h"
#include "tests/support/ScriptedServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// What a user does to widgets, with real focus changes and key presses, shared by the widget
// tests.

// Shows a window and makes it the active one, so that focus and key presses reach it.
inline void Activate(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The child of `parent` of this objectName; a failed expectation where there is none.
template <typename T = QWidget> T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// A click on a button the user can see and reach.
inline void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

// Gives `widget` the focus, as a click (not Tab) would, and checks that it took it.
inline void FocusOn(QWidget& widget) {
    widget.setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), &widget) << widget.objectName().toStdString();
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

inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline QByteArray Contents(const QString& path) {
    return QByteArray::fromStdString(FileBytes(path.toStdString()));
}

// Stores a meeting of the given id, title and date in the program's store.
inline CMeeting StoreMeeting(const std::string& id, const std::string& title,
                             const CDateTime& date) {
    CMeeting meeting(date);
    meeting.id = id;
    meeting.title = title;
    TestStore().ModifyMeeting(meeting);
    return meeting;
}

// Sends one mouse event to `target`, at `pos` in its coordinates.
inline void SendMouse(QWidget* target, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons held = Qt::LeftButton) {
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A click at `pos` of `target`; a double click adds its own event after the first click.
inline void ClickAt(QWidget* target, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                    bool doubleClick = false) {
    SendMouse(target, QEvent::MouseButtonPress, pos, button, button);
    SendMouse(target, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    if (doubleClick) {
        SendMouse(target, QEvent::MouseButtonDblClick, pos, button, button);
        SendMouse(target, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
}
