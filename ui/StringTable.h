#pragma once

#include <QString>

// The program's texts by number (messages, prompts, captions, the export's HTML pieces).
QString LoadResString(int id);

// Named string numbers used in more than one place.
namespace StringId {
constexpr int monthPickerFormat = 2;
constexpr int appTitle = 57344;
constexpr int ready = 57345;
constexpr int capsIndicator = 59137;
constexpr int numIndicator = 59138;
constexpr int scrollIndicator = 59139;
constexpr int dayPickerFormat = 61456;
constexpr int askDeleteMeeting = 61459;
constexpr int directoryGone = 61460;
constexpr int directoryInvalid = 61462;
constexpr int askCloseProgram = 61463;
constexpr int askRemoveShortcut = 61464;
constexpr int exportMeeting = 61466;
} // namespace StringId
