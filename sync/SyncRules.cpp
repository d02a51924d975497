#include "sync/SyncRules.h"

SyncAction DecideSync(const CSyncFacts& facts) {
    const bool here = facts.local != SyncSide::absent;
    const bool there = facts.server != SyncSide::absent;
    if (!facts.synced) {
        // Without a last sync (a new meeting, or a lost sync state) "there" counts as changed.
        if (here && there) {
            return facts.equal ? SyncAction::record : SyncAction::keepBoth;
        }
        return here ? SyncAction::sendNew : there ? SyncAction::addLocal : SyncAction::none;
    }
    const bool changedHere = facts.local == SyncSide::changed;
    const bool changedThere = facts.server == SyncSide::changed;
    if (here && there) {
        if (!changedHere && !changedThere) {
            return SyncAction::none;
        }
        if (facts.equal) {
            return SyncAction::record; // the same edit on both sides, or our own echo
        }
        if (changedHere && changedThere) {
            return SyncAction::keepBoth;
        }
        return changedHere ? SyncAction::sendChange : SyncAction::changeLocal;
    }
    if (here) { // gone there
        return changedHere ? SyncAction::sendNew : SyncAction::deleteLocal;
    }
    if (there) { // gone here
        return changedThere ? SyncAction::addLocal : SyncAction::deleteServer;
    }
    return SyncAction::forget;
}

const char* SyncActionName(SyncAction action) {
    switch (action) {
    case SyncAction::none:
        return "none";
    case SyncAction::record:
        return "record";
    case SyncAction::sendNew:
        return "sendNew";
    case SyncAction::sendChange:
        return "sendChange";
    case SyncAction::deleteServer:
        return "deleteServer";
    case SyncAction::addLocal:
        return "addLocal";
    case SyncAction::changeLocal:
        return "changeLocal";
    case SyncAction::deleteLocal:
        return "deleteLocal";
    case SyncAction::keepBoth:
        return "keepBoth";
    case SyncAction::forget:
        return "forget";
    }
    return "?";
}
