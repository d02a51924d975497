#pragma once

#include <string>

class CDesktopServices;
class CMeetingStore;
class QWidget;

// Export Meeting: asks for a file, writes the meeting `id` there as an HTML page and opens
// the page in the desktop's browser. A file that cannot be written is reported, naming it
// and the reason, and keeps its old contents.
void ExportMeeting(const CMeetingStore& store, const std::string& id, CDesktopServices& services,
                   QWidget* parent);
