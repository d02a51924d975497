#pragma once

#include "store/DateTime.h"
#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

// A meeting changed on both sides: ours stayed, the server's came as a copy.
struct CSyncConflict {
    std::string title; // ours, as stored
    CDateTime date;
    std::string localId;
    std::string copyId; // the server's version, now a meeting of its own
};

// What one sync did, for the status line and the conflicts list.
struct CSyncSummary {
    bool complete = false; // everything was compared and every change carried over
    QString failure;       // why it stopped, for the user; empty when it did not
    int status = 0;        // the HTTP status that stopped it (401: ask for the password again)
    QByteArray refusedCertificate; // the fingerprint of a certificate not trusted
    bool cancelled = false;
    int sent = 0;     // objects written to the server
    int received = 0; // meetings added or changed here
    int deletedHere = 0;
    int deletedThere = 0;
    int deferred = 0; // changed again by someone else meanwhile: the next sync takes them
    int requests = 0;
    std::vector<CSyncConflict> conflicts;
};
