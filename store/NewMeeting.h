#pragma once

#include "store/AgendaItem.h"
#include "store/Meeting.h"
#include "store/TodoItem.h"

#include <optional>
#include <string>
#include <vector>

// A meeting to be added with the lists it comes with; a list that is absent gets no file.
struct CNewMeeting {
    CMeeting record; // its id is given by the store
    std::optional<std::vector<CAgendaItem>> agenda;
    std::optional<std::vector<std::string>> attendees;
    std::optional<std::vector<CTodoItem>> todos;
    std::optional<std::vector<std::string>> minutes;
};
