#include "editor/MeetingSheetPage.h"
