#include "app/CalendarSharing.h"

#include "app/LoadingFeedback.h"
#include "export/ExportFile.h"
#include "share/CalendarExport.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "store/WorkingDirectory.h"
#include "ui/DesktopServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Reads what the opened descriptor holds: only a regular file, and never more than the size
// it had when opened, so that a device such as /dev/zero cannot feed the import without end.
std::optional<QByteArray> ReadOpened(int fd, QString& reason) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        reason = ErrorText(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        reason = QStringLiteral("it is not a regular file");
        return std::nullopt;
    }
    if (info.st_size > maxCalendarFileSize) {
        reason = QStringLiteral("the file is too large");
        return std::nullopt;
    }
    QByteArray bytes(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t count =
            ::read(fd, bytes.data() + got, static_cast<std::size_t>(bytes.size() - got));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            reason = ErrorText(errno);
            return std::nullopt;
        }
        if (count == 0) {
            break; // shrunk since: what is there is the file
        }
        got += count;
    }
    bytes.truncate(got);
    return bytes;
}

// The whole file, or the reason it cannot be had. Opened without waiting: a FIFO in the
// file's place would otherwise block until someone writes to it.
std::optional<QByteArray> ReadCalendarFile(const QString& path, QString& reason) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = ErrorText(errno);
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = ReadOpened(fd, reason);
    ::close(fd);
    return bytes;
}

// The meetings of every file that parsed, with what the files said, made off the window's
// thread: it touches neither the store nor any widget.
struct CParsedFiles {
    std::vector<CCalendarMeeting> meetings;
    CImportOutcome outcome;
};

CParsedFiles ParseFiles(const QStringList& files, const std::atomic<bool>& stop,
                        std::atomic<int>& read) {
    CParsedFiles parsed;
    CImportOutcome& outcome = parsed.outcome;
    for (const QString& path : files) {
        if (stop) {
            outcome.cancelled = true;
            break;
        }
        QString reason;
        const std::optional<QByteArray> bytes = ReadCalendarFile(path, reason);
        if (!bytes) {
            outcome.failedFiles.emplace_back(path, reason);
            ++read;
            continue;
        }
        try {
            CCalendarImport file = ParseCalendar(
                std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
            std::move(file.meetings.begin(), file.meetings.end(),
                      std::back_inserter(parsed.meetings));
            outcome.skipped.insert(outcome.skipped.end(), file.skipped.begin(), file.skipped.end());
            outcome.remarks.insert(outcome.remarks.end(), file.remarks.begin(), file.remarks.end());
        } catch (const CCalendarParseError& error) {
            outcome.failedFiles.emplace_back(path, QString::fromUtf8(error.what()));
        }
        ++read;
    }
    return parsed;
}

// How often the window's thread looks at the stop token while the files are parsed.
constexpr int stopPollMs = 50;

// What the window shows while the files are parsed, once that takes longer than the loading
// window waits: how many files are read, and a Cancel that stops after the file at hand.
std::unique_ptr<QProgressDialog> ReadingProgress(const QStringList& files) {
    auto dialog = std::make_unique<QProgressDialog>(
        QStringLiteral("Reading calendar files..."), QStringLiteral("Cancel"), 0,
        files.size() > 1 ? static_cast<int>(files.size()) : 0, QApplication::activeWindow());
    dialog->setObjectName(QStringLiteral("calendarReadingProgress"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(static_cast<int>(loadingWindowDelayMs));
    dialog->setValue(0);
    return dialog;
}

// Parses the files on a thread of their own while this thread goes on with its events, so the
// windows repaint and answer meanwhile. A stop request, Cancel or the program quitting ends the
// wait after the file being parsed.
CParsedFiles ParseFilesOffThisThread(const QStringList& files, const std::stop_token& stop) {
    std::atomic<bool> stopping = stop.stop_requested();
    std::atomic<int> read = 0;
    CParsedFiles parsed;
    std::unique_ptr<QThread> worker(QThread::create(
        [&parsed, &files, &stopping, &read] { parsed = ParseFiles(files, stopping, read); }));
    const std::unique_ptr<QProgressDialog> dialog = ReadingProgress(files);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QObject::connect(dialog.get(), &QProgressDialog::canceled, &loop,
                     [&stopping] { stopping = true; });
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        stopping = stopping || stop.stop_requested();
        if (dialog->maximum() > 0) {
            dialog->setValue(read);
        }
    });
    poll.start(stopPollMs);
    worker->start();
    if (!worker->isFinished()) {
        loop.exec();
    }
    // The loop also ends when the program quits: stop after the file at hand.
    if (!worker->isFinished()) {
        stopping = true;
    }
    worker->wait();
    parsed.outcome.cancelled = parsed.outcome.cancelled || stopping;
    return parsed;
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

// Stores the meetings a chunk at a time, each whole or not at all, with the window's events in
// between: a stop request takes effect after the chunk at hand. The user may open another
// working directory meanwhile: the rest of the import then stops rather than going there.
void StoreInChunks(CMeetingStore& store, std::span<const CCalendarMeeting> meetings,
                   const ImportProgress& progress, const std::stop_token& stop,
                   CImportOutcome& outcome) {
    if (progress) {
        progress(0, meetings.size());
    }
    const std::filesystem::path folder = GetWorkingDirectory();
    const std::size_t chunk = CMeetingStore::addChunkSize;
    for (std::size_t first = 0; first < meetings.size(); first += chunk) {
        if (stop.stop_requested() || GetWorkingDirectory() != folder) {
            outcome.cancelled = true;
            return;
        }
        const std::size_t before = store.GetMap().GetCount();
        try {
            outcome.added += StoreImportedMeetings(
                store, meetings.subspan(first, std::min(chunk, meetings.size() - first)));
        } catch (const CFileError& error) {
            // The meetings stored before the failure stay, and are counted as added.
            outcome.added += store.GetMap().GetCount() - before;
            outcome.writeError = QStringLiteral("The file %1 could not be written: %2.")
                                     .arg(Shown(QString::fromStdString(error.GetPath())),
                                          QString::fromStdString(error.GetReason()));
            return;
        }
        if (progress) {
            progress(outcome.added, meetings.size());
        }
        QCoreApplication::processEvents();
    }
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
                                   const ImportProgress& progress, std::stop_token stop) {
    // One import at a time: the window stays usable meanwhile, and a second import asked for
    // then would store its meetings in between the first one's.
    static bool importing = false;
    if (importing) {
        CImportOutcome busy;
        for (const QString& path : files) {
            busy.failedFiles.emplace_back(path, QStringLiteral("another import is running"));
        }
        return busy;
    }
    importing = true;
    const std::shared_ptr<void> done(nullptr, [](void*) { importing = false; });

    // Every file is parsed before any meeting is stored: a broken file adds nothing, and the
    // meetings of the good ones go in together.
    CParsedFiles parsed = ParseFilesOffThisThread(files, stop);
    CImportOutcome& outcome = parsed.outcome;
    const std::vector<CCalendarMeeting>& meetings = parsed.meetings;
    if (meetings.empty() || outcome.cancelled) {
        return std::move(outcome);
    }
    StoreInChunks(store, meetings, progress, stop, outcome);
    if (outcome.added > 0) {
        outcome.firstDate = meetings.front().record.date;
    }
    return std::move(outcome);
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
    } else if (outcome.cancelled) {
        text << (outcome.added == 0
                     ? QStringLiteral("The import was cancelled.")
                     : QStringLiteral("The import was cancelled; the meetings added before stay."));
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
