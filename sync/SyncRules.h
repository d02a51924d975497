#pragma once

// What one meeting looks like on each side, against the last sync.
enum class SyncSide {
    absent,  // not there (deleted since the last sync, or never there)
    same,    // as at the last sync
    changed, // changed since the last sync; without a last sync, simply there
};

struct CSyncFacts {
    bool synced = false; // the meeting and its server object were paired at a last sync
    SyncSide local = SyncSide::absent;
    SyncSide server = SyncSide::absent;
    // Both sides present and meaning the same meeting (the same files would be written).
    bool equal = false;
};

enum class SyncAction {
    none,         // nothing to do
    record,       // both sides agree already: only the sync state learns it
    sendNew,      // PUT with If-None-Match: *, a new object (or one deleted there, brought back)
    sendChange,   // PUT with If-Match, over the server's object
    deleteServer, // DELETE with If-Match
    addLocal,     // a new meeting here (or one deleted here, brought back)
    changeLocal,  // the server's version replaces the meeting here
    deleteLocal,  // the meeting here goes
    keepBoth,     // both changed: ours stays and goes to the server, theirs comes as a copy
    forget,       // gone on both sides: the sync state forgets the pair
};

// The one rule of the sync. Nothing is ever dropped: a change wins over a delete, and two
// different changes keep both.
SyncAction DecideSync(const CSyncFacts& facts);

const char* SyncActionName(SyncAction action);
