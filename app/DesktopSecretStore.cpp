// libsecret's GLib headers use "signals" as a name, which Qt makes a keyword.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include "app/DesktopSecretStore.h"

namespace {

const SecretSchema* Schema() {
    static const SecretSchema schema = [] {
        SecretSchema made{};
        made.name = "org.brindleware.Tavelin.CalendarServer";
        made.flags = SECRET_SCHEMA_NONE;
        made.attributes[0] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
        made.attributes[1] = {"user", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return made;
    }();
    return &schema;
}

QByteArray ServerKey(const QUrl& server) {
    return server.toString(QUrl::StripTrailingSlash).toUtf8();
}

// True when the service answered; the error (never holding the password) is dropped.
bool Answered(GError* error) {
    if (error == nullptr) {
        return true;
    }
    g_error_free(error);
    return false;
}

} // namespace

std::optional<QString> CDesktopSecretStore::Find(const QUrl& server, const QString& user) {
    if (!m_memoryOnly) {
        GError* error = nullptr;
        gchar* found = secret_password_lookup_sync(Schema(), nullptr, &error, "server",
                                                   ServerKey(server).constData(), "user",
                                                   user.toUtf8().constData(), nullptr);
        if (Answered(error)) {
            if (found == nullptr) {
                return std::nullopt;
            }
            const QString password = QString::fromUtf8(found);
            secret_password_free(found);
            return password;
        }
        m_memoryOnly = true;
    }
    return m_memory.Find(server, user);
}

void CDesktopSecretStore::Store(const QUrl& server, const QString& user, const QString& password) {
    if (!m_memoryOnly) {
        GError* error = nullptr;
        const QByteArray label = "Tavelin calendar server " + ServerKey(server);
        secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                   password.toUtf8().constData(), nullptr, &error, "server",
                                   ServerKey(server).constData(), "user", user.toUtf8().constData(),
                                   nullptr);
        if (Answered(error)) {
            return;
        }
        m_memoryOnly = true;
    }
    m_memory.Store(server, user, password);
}

void CDesktopSecretStore::Forget(const QUrl& server, const QString& user) {
    m_memory.Forget(server, user);
    if (!m_memoryOnly) {
        GError* error = nullptr;
        secret_password_clear_sync(Schema(), nullptr, &error, "server",
                                   ServerKey(server).constData(), "user", user.toUtf8().constData(),
                                   nullptr);
        Answered(error);
    }
}
