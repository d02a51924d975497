#pragma once

#include "app/MemorySecretStore.h"

// The desktop's secret store (the Secret Service: GNOME Keyring, KWallet) through libsecret.
// When the service does not answer, this run keeps the password in memory instead, and says
// so through UsesMemory.
class CDesktopSecretStore : public CSecretStore {
public:
    std::optional<QString> Find(const QUrl& server, const QString& user) override;
    void Store(const QUrl& server, const QString& user, const QString& password) override;
    void Forget(const QUrl& server, const QString& user) override;

    bool UsesMemory() const { return m_memoryOnly; }

private:
    bool m_memoryOnly = false;
    CMemorySecretStore m_memory;
};
