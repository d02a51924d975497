#pragma once

#include "editor/MeetingSheet.h"

#include <vector>

// The pages of the meeting sheet, in their order: details, agenda, todos, attendees, minutes.
std::vector<MeetingPageMaker> MeetingSheetPages();
