#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <string>

// A meeting and its server object as they were at the last sync that touched them.
struct CSyncPair {
    QString href;            // the object's path on the server
    QString uid;             // the object's UID (ours, or another program's)
    QString etag;            // the server's ETag of the object
    QByteArray localDigest;  // of the meeting's meaning (MeetingDigest)
    QByteArray serverDigest; // of the object's text
    QByteArray localStamp;   // names, sizes and times of the meeting's files, to skip re-reading
};

// What the sync of one working directory with one server calendar remembers between runs.
// It lives in the user's data folder, never in the working directory, and is written whole
// and atomically; a lost or damaged state costs a full comparison, never a duplicate.
struct CSyncState {
    QString calendar;                       // the calendar collection's path on its server
    QString syncToken;                      // the collection's token after the last complete sync
    std::map<std::string, CSyncPair> pairs; // by meeting id

    // The file for this folder and account: $XDG_DATA_HOME/tavelin/sync/<hash>.json.
    static QString FileFor(const QString& folder, const QString& calendar, const QString& user);
    // Empty when the file is missing or damaged (a damaged one is kept beside as ".damaged").
    static CSyncState Load(const QString& file);
    // False when it could not be written; the old file then stays.
    bool Save(const QString& file) const;
};

// The state the last sync left, kept in memory for the next one while its file is as it left
// it (same size and time): a sync with nothing changed then reads no file of its own.
struct CKeptSyncState {
    QString file;
    qint64 size = -1;
    qint64 modifiedMs = -1;
    CSyncState state;

    // Moves the kept state out when it is the one `file` holds; nullopt otherwise.
    std::optional<CSyncState> TakeFor(const QString& stateFile);
    void Keep(const QString& stateFile, CSyncState kept);
};
