#pragma once

#include "share/CalendarImport.h"
#include "store/DateTime.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

class CDesktopServices;
class CMeetingStore;
class QWidget;

// The file filter of the import picker and the export's save picker.
QString CalendarFileFilter();

// Whether a dropped or picked file is an iCalendar file by its name.
bool IsCalendarFileName(const QString& path);

// The meetings of the month of `date`, in the store's enumeration order; whether it has any
// (which the command states ask after every key, without copying ids).
std::vector<std::string> MonthMeetingIds(const CMeetingStore& store, const CDateTime& date);
bool MonthHasMeetings(const CMeetingStore& store, const CDateTime& date);
// Every meeting of the store, in its enumeration order.
std::vector<std::string> AllMeetingIds(const CMeetingStore& store);

// What importing files did.
struct CImportOutcome {
    std::size_t added = 0;
    // Files of which nothing was added, with the reason ("could not be read", the parser's).
    std::vector<std::pair<QString, QString>> failedFiles;
    std::vector<CImportRemark> skipped;
    std::vector<CImportRemark> remarks;
    // A meeting file that could not be written: the meetings before it stay.
    QString writeError;
    // The date of the first meeting added, for the calendar to show.
    std::optional<CDateTime> firstDate;
    // Stopped on request: the chunks stored before it stay, each whole.
    bool cancelled = false;
};

// Reads and parses every file on a thread of its own while the window's thread goes on with
// its events, then stores the meetings of the files that parsed on the window's thread, a
// chunk at a time. A file that cannot be read (no regular file, too large) or parsed adds
// nothing. `progress` hears (0, total) once the files are parsed, then after each chunk of
// meetings stored. A stop request ends the import after the file being parsed or the chunk
// being stored.
CImportOutcome ImportCalendarFiles(CMeetingStore& store, const QStringList& files,
                                   const ImportProgress& progress = {}, std::stop_token stop = {});

// The summary the user reads: "Added 12 meetings." and what went wrong in `text`, the skipped
// entries and the remarks, each with its reason, in `details`.
struct CImportSummary {
    QString text;
    QString details;
    bool failed = false; // nothing was added and something went wrong
};
CImportSummary SummarizeImport(const CImportOutcome& outcome);

// Asks for a file and writes the meetings `ids` there as one iCalendar file; a file that
// cannot be written keeps its old contents and is reported. The file written; nullopt when
// none was.
std::optional<QString> ExportCalendarFile(const CMeetingStore& store,
                                          const std::vector<std::string>& ids,
                                          const QString& suggestedName, CDesktopServices& services,
                                          QWidget* parent);
