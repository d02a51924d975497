#pragma once

#include "app/SecretStore.h"

#include <QHash>

// Passwords kept for this run only: where no secret service answers, the password is asked
// once per run and forgotten when the program ends.
class CMemorySecretStore : public CSecretStore {
public:
    std::optional<QString> Find(const QUrl& server, const QString& user) override {
        const auto found = m_passwords.constFind(Key(server, user));
        return found == m_passwords.constEnd() ? std::nullopt : std::optional(*found);
    }
    void Store(const QUrl& server, const QString& user, const QString& password) override {
        m_passwords.insert(Key(server, user), password);
    }
    void Forget(const QUrl& server, const QString& user) override {
        m_passwords.remove(Key(server, user));
    }

private:
    static QString Key(const QUrl& server, const QString& user) {
        return server.toString(QUrl::StripTrailingSlash) + u'\n' + user;
    }

    QHash<QString, QString> m_passwords;
};
