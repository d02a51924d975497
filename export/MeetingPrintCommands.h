#pragma once

#include <QString>

#include <optional>
#include <string>

class CDesktopServices;
class CMeetingStore;
class QWidget;

// Print: the print dialog, then the meeting `id` on the printer the user chose, laid out as
// its PDF is.
void PrintMeeting(const CMeetingStore& store, const std::string& id, CDesktopServices& services,
                  QWidget* parent);

// Export as PDF: asks for a file and writes the meeting `id` there as a PDF document, on the
// paper of the system's locale. A file that cannot be written is reported, naming it and the
// reason, and keeps its old contents. The file written; nullopt when none was.
std::optional<QString> ExportMeetingPdf(const CMeetingStore& store, const std::string& id,
                                        CDesktopServices& services, QWidget* parent);
