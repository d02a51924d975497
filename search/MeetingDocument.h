#pragma once

#include "search/FolderFiles.h"
#include "store/TodoItem.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the index holds of one meeting: its searchable texts in UTF-8 (a list's entries one a
// line) and its todos as stored.
struct CMeetingDocument {
    std::string id;
    // The meeting's date in whole seconds (CDateTime::ToSerialSeconds); nothing when the date
    // is not valid.
    std::optional<long long> dateSecond;
    std::string title;
    std::string reference;
    std::string venue;
    std::string presidedBy;
    std::string notes;
    std::string attendees;
    std::string agenda;
    std::string minutes;
    std::string todos;
    std::vector<CTodoItem> todoItems;
};

// One meeting as its files are now: the document (nothing when its meeting file is missing
// or damaged), the stamps of its files there and the names of those not there.
struct CMeetingUpdate {
    std::string meetingId;
    std::optional<CMeetingDocument> document;
    std::vector<std::pair<std::string, CFileStamp>> present;
    std::vector<std::string> absent;
};

// Reads the meeting `meetingId` from the folder open as the descriptor `folder`: its meeting
// file `meetingFileName` (the name the program writes when empty) and its four content files.
// A meeting file holding another id than its name gives counts as no meeting file.
CMeetingUpdate ReadMeetingUpdate(int folder, const std::string& meetingId,
                                 const std::string& meetingFileName = {});
