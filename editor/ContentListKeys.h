#pragma once

#include <Qt>

// The keys by which a content page's commands are reached from its list: Delete for Del,
// Alt+Up and Alt+Down for Up and Down, F2 for Mod.
enum class ContentListKey { none, remove, moveUp, moveDown, modify };

ContentListKey ContentListKeyOf(int key, Qt::KeyboardModifiers modifiers);
