#pragma once

#include "editor/MeetingSheet.h"

#include <vector>

// The pages of the meeting sheet, in their order: the meeting's details first.
std::vector<MeetingPageMaker> MeetingSheetPages();
