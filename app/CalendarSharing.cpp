#include "app/CalendarSharing.h"

#include "export/ExportFile.h"
#include "share/CalendarExport.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Far beyond the export of every meeting anyone keeps; a larger file is not read into memory.
constexpr qint64 maxCalendarFileSize = qint64{1} << 30;

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString Quoted(const std::string& summary) {
    return QStringLiteral("\u201c%1\u201d").arg(QString::fromStdString(summary));
}

// The whole file, or the reason it cannot be had.
std::optional<QByteArray> ReadCalendarFile(const QString& path, QString& reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return std::nullopt;
    }
    if (file.size() > maxCalendarFileSize) {
        reason = QStringLiteral("the file is too large");
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

// The meetings from the first second of the month of `date` to the first of the next month.
std::vector<const CMeetingMap::Entry*> MonthMeetings(const CMeetingStore& store,
                                                     const CDateTime& date) {
    if (!date.IsValid()) {
        return {};
    }
    const int year = date.GetYear();
    const int month = date.GetMonth();
    const CDateTime first(year, month, 1, 0, 0, 0);
    const CDateTime next =
        month == 12 ? CDateTime(year + 1, 1, 1, 0, 0, 0) : CDateTime(year, month + 1, 1, 0, 0, 0);
    return store.MeetingsInBand(first.ToSerialSeconds(), next.ToSerialSeconds());
}

QString Counted(std::size_t count, const char* one, const char* many) {
    return count == 1 ? QString::fromUtf8(one) : QString::fromUtf8(many).arg(count);
}

// The entries that gave no meeting, and the meetings that are less than their event.
QString LeftOutText(const CImportOutcome& outcome) {
    // The parser's reason for a recurring event that became its first occurrence.
    const auto firstOnly = static_cast<std::size_t>(
        std::count_if(outcome.remarks.begin(), outcome.remarks.end(), [](const CImportRemark& r) {
            return r.reason.find("first occurrence") != std::string::npos;
        }));
    const std::size_t otherRemarks = outcome.remarks.size() - firstOnly;
    QStringList lines;
    if (!outcome.skipped.empty()) {
        lines << Counted(outcome.skipped.size(), "1 entry was skipped.",
                         "%1 entries were skipped.");
    }
    if (firstOnly > 0) {
        lines << Counted(firstOnly, "1 recurring event was imported as its first occurrence only.",
                         "%1 recurring events were imported as their first occurrence only.");
    }
    if (otherRemarks > 0) {
        lines << Counted(otherRemarks, "1 meeting was imported with a change.",
                         "%1 meetings were imported with a change.");
    }
    if (!lines.isEmpty()) {
        lines << QStringLiteral("Show Details says which and why.");
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString CalendarFileFilter() {
    return QStringLiteral("iCalendar Files (*.ics *.ical *.ifb *.icalendar);;All Files (*)");
}

bool IsCalendarFileName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("ics") || suffix == QLatin1String("ical") ||
           suffix == QLatin1String("ifb") || suffix == QLatin1String("icalendar");
}

std::vector<std::string> MonthMeetingIds(const CMeetingStore& store, const CDateTime& date) {
    std::vector<std::string> ids;
    for (const CMeetingMap::Entry* entry : MonthMeetings(store, date)) {
        ids.push_back(entry->Key());
    }
    return ids;
}

bool MonthHasMeetings(const CMeetingStore& store, const CDateTime& date) {
    return !MonthMeetings(store, date).empty();
}

std::vector<std::string> AllMeetingIds(const CMeetingStore& store) {
    std::vector<std::string> ids;
    for (const CMeetingMap::Entry& entry : store.GetMap()) {
        ids.push_back(entry.Key());
    }
    return ids;
}

CImportOutcome ImportCalendarFiles(CMeetingStore& store, const QStringList& files,
                                   const ImportProgress& progress) {
    CImportOutcome outcome;
    // Every file is parsed before any meeting is stored: a broken file adds nothing, and the
    // meetings of the good ones go in together.
    std::vector<CCalendarMeeting> meetings;
    for (const QString& path : files) {
        QString reason;
        const std::optional<QByteArray> bytes = ReadCalendarFile(path, reason);
        if (!bytes) {
            outcome.failedFiles.emplace_back(path, reason);
            continue;
        }
        try {
            CCalendarImport parsed = ParseCalendar(
                std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
            for (CCalendarMeeting& meeting : parsed.meetings) {
                meetings.push_back(std::move(meeting));
            }
            outcome.skipped.insert(outcome.skipped.end(), parsed.skipped.begin(),
                                   parsed.skipped.end());
            outcome.remarks.insert(outcome.remarks.end(), parsed.remarks.begin(),
                                   parsed.remarks.end());
        } catch (const CCalendarParseError& error) {
            outcome.failedFiles.emplace_back(path, QString::fromUtf8(error.what()));
        }
    }
    if (meetings.empty()) {
        return outcome;
    }
    const std::size_t before = store.GetMap().GetCount();
    if (progress) {
        progress(0, meetings.size());
    }
    try {
        outcome.added = StoreImportedMeetings(store, meetings, progress);
    } catch (const CFileError& error) {
        // The meetings stored before the failure stay, and are counted as added.
        outcome.added = store.GetMap().GetCount() - before;
        outcome.writeError = QStringLiteral("The file %1 could not be written: %2.")
                                 .arg(Shown(QString::fromStdString(error.GetPath())),
                                      QString::fromStdString(error.GetReason()));
    }
    outcome.firstDate = meetings.front().record.date;
    return outcome;
}

CImportSummary SummarizeImport(const CImportOutcome& outcome) {
    CImportSummary summary;
    QStringList text;
    summary.failed =
        outcome.added == 0 && (!outcome.failedFiles.empty() || !outcome.writeError.isEmpty());
    // A failure alone is reported as one, not as an import of nothing.
    if (!summary.failed) {
        text << (outcome.added == 0   ? QStringLiteral("No meetings were added.")
                 : outcome.added == 1 ? QStringLiteral("Added 1 meeting.")
                                      : QStringLiteral("Added %1 meetings.").arg(outcome.added));
    }
    if (!outcome.writeError.isEmpty()) {
        text << QStringLiteral("The import stopped there: %1").arg(outcome.writeError);
    }
    for (const auto& [file, reason] : outcome.failedFiles) {
        const bool closed = reason.endsWith(QLatin1Char('.'));
        text << QStringLiteral("The file %1 could not be imported: %2%3")
                    .arg(Shown(file), reason, closed ? QString() : QStringLiteral("."));
    }
    if (!summary.failed) {
        // What was left out is said up front; the details only add which and why.
        text << LeftOutText(outcome);
    }
    text.removeAll(QString());
    summary.text = text.join(QLatin1Char('\n'));

    QStringList details;
    for (const CImportRemark& entry : outcome.skipped) {
        details << QStringLiteral("Skipped %1: %2")
                       .arg(Quoted(entry.summary), QString::fromStdString(entry.reason));
    }
    for (const CImportRemark& entry : outcome.remarks) {
        details << QStringLiteral("Added %1: %2")
                       .arg(Quoted(entry.summary), QString::fromStdString(entry.reason));
    }
    summary.details = details.join(QLatin1Char('\n'));
    return summary;
}

std::optional<QString> ExportCalendarFile(const CMeetingStore& store,
                                          const std::vector<std::string>& ids,
                                          const QString& suggestedName, CDesktopServices& services,
                                          QWidget* parent) {
    const std::optional<QString> path = PickExportFile(
        services, CalendarFileFilter(), QStringLiteral("ics"), parent, suggestedName);
    if (!path) {
        return std::nullopt;
    }
    try {
        ExportCalendar(store, ids, QFile::encodeName(*path).toStdString());
    } catch (const CFileError& error) {
        services.ReportError(QStringLiteral("The file %1 could not be written: %2.")
                                 .arg(Shown(*path), QString::fromStdString(error.GetReason())),
                             parent);
        return std::nullopt;
    }
    return path;
}
