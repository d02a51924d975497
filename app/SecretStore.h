#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// Where the calendar server's password is kept between syncs, keyed by server and user name.
// It is never written into the settings: the desktop's secret store keeps it, or, where none
// answers, the memory of this run.
class CSecretStore {
public:
    virtual ~CSecretStore() = default;

    virtual std::optional<QString> Find(const QUrl& server, const QString& user) = 0;
    virtual void Store(const QUrl& server, const QString& user, const QString& password) = 0;
    virtual void Forget(const QUrl& server, const QString& user) = 0;
};
