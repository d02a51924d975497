#include "app/SyncStatusText.h"

#include <algorithm>

ESyncOutcome SyncOutcome(const CSyncSummary& summary) {
    if (summary.cancelled) {
        return ESyncOutcome::cancelled;
    }
    if (!summary.refusedCertificate.isEmpty()) {
        return ESyncOutcome::untrusted;
    }
    if (summary.status == 401) {
        return ESyncOutcome::refused;
    }
    if (summary.failure.isEmpty()) {
        return ESyncOutcome::synced;
    }
    if (summary.status == 0) {
        return ESyncOutcome::offline;
    }
    return summary.status >= 500 ? ESyncOutcome::serverError : ESyncOutcome::failed;
}

bool RetriesByItself(ESyncOutcome outcome) {
    return outcome == ESyncOutcome::offline || outcome == ESyncOutcome::serverError;
}

int RetryDelaySeconds(int failures) {
    constexpr int first = 30;
    constexpr int longest = 300;
    const int doublings = std::clamp(failures - 1, 0, 4);
    return std::min(first << doublings, longest);
}

QString ConflictCountText(int count) {
    return count == 1 ? QStringLiteral("1 conflict: both versions kept")
                      : QStringLiteral("%1 conflicts: both versions kept").arg(count);
}

QString SyncProgressText(int done, int total) {
    if (total <= 0) {
        return QStringLiteral("Syncing...");
    }
    return QStringLiteral("Syncing... %1 of %2").arg(std::min(done, total)).arg(total);
}

QString SyncStatusText(const CSyncSummary& summary, const QString& time, int conflicts) {
    QString line;
    switch (SyncOutcome(summary)) {
    case ESyncOutcome::synced:
        line = QStringLiteral("Synced at %1").arg(time);
        break;
    case ESyncOutcome::offline:
        line = QStringLiteral("Offline: changes will be sent later");
        break;
    case ESyncOutcome::refused:
        line = QStringLiteral("Not synced: the server refused the user name or password");
        break;
    case ESyncOutcome::untrusted:
        line = QStringLiteral("Not synced: the server's certificate is not trusted "
                              "(Tools > Calendar Server...)");
        break;
    case ESyncOutcome::cancelled:
        line = QStringLiteral("Sync stopped");
        break;
    case ESyncOutcome::serverError:
    case ESyncOutcome::failed:
        line = QStringLiteral("Not synced: %1").arg(summary.failure);
        break;
    }
    if (conflicts > 0) {
        line += QStringLiteral(", ") + ConflictCountText(conflicts);
    }
    return line;
}

QString FingerprintText(const QByteArray& hex) {
    QString text;
    const QString upper = QString::fromLatin1(hex).toUpper();
    for (qsizetype i = 0; i < upper.size(); i += 2) {
        if (!text.isEmpty()) {
            text += u':';
        }
        text += upper.mid(i, 2);
    }
    return text;
}
