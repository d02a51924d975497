#pragma once

#include "sync/SyncSummary.h"

#include <QByteArray>
#include <QString>

// How a sync ended, as far as the status line and the next try are concerned.
enum class ESyncOutcome {
    synced,
    offline,     // no answer: the changes wait for the next try
    serverError, // the server answered with a failure of its own (5xx): tried again later
    refused,     // the user name or password (401)
    untrusted,   // the server showed a certificate not trusted
    failed,      // anything else the user must look at; not tried again by itself
    cancelled,
};

ESyncOutcome SyncOutcome(const CSyncSummary& summary);
// Whether the sync is tried again by itself, after a pause that grows with each failure.
bool RetriesByItself(ESyncOutcome outcome);
// The pause before the next try after `failures` failures in a row: 30 s, doubling, at most
// five minutes (the time between two ordinary syncs).
int RetryDelaySeconds(int failures);

// "1 conflict: both versions kept", "2 conflicts: both versions kept".
QString ConflictCountText(int count);
// "Syncing..." and, once the number of meetings is known, how far it has got.
QString SyncProgressText(int done, int total);
// The status line after a sync; `time` is the program's text for when it ended, and
// `conflicts` the conflicts kept so far that the user has not yet looked at.
QString SyncStatusText(const CSyncSummary& summary, const QString& time, int conflicts);
// A fingerprint in hex as people compare it: "AB:CD:...".
QString FingerprintText(const QByteArray& hex);
