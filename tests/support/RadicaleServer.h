#pragma once

#include <gtest/gtest.h>

#include <QMap>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// A real Radicale calendar server for one test: its own configuration, users file, storage
// and log in a temporary folder (never the user's own configuration), listening on
// 127.0.0.1 at a free port. Each user may reach only their own collections. The server is
// stopped when the object goes.
class CRadicaleServer {
public:
    enum class EScheme { Http, Https };

    CRadicaleServer();
    ~CRadicaleServer();
    CRadicaleServer(const CRadicaleServer&) = delete;
    CRadicaleServer& operator=(const CRadicaleServer&) = delete;

    // Starts the server for the given user names and passwords and waits until it answers.
    // A self-signed certificate for 127.0.0.1 is made for it either way; Https serves it.
    ::testing::AssertionResult Start(const QMap<QString, QString>& passwords,
                                     EScheme scheme = EScheme::Http);
    void Stop();

    quint16 Port() const { return m_port; }
    // "http://127.0.0.1:<port>/" (or https).
    QUrl BaseUrl() const;
    // What the server wrote to its log (errors only), for a failing test to print.
    QString LogText() const;
    // The certificate an https server presents (PEM), where it and its key lie (for a proxy
    // serving https in front of an http server).
    QString CertificateFile() const;
    QString KeyFile() const;
    QByteArray CertificatePem() const;
    // The folder the server keeps its collections in.
    QString StorageFolder() const;

    // Makes the calendar collection `name` of `user` (MKCALENDAR) and returns its URL, or an
    // empty URL (with the reason in `error`) when the server refused.
    QUrl MakeCalendar(const QString& user, const QString& password, const QString& name,
                      QString* error = nullptr) const;

private:
    QString PathOf(const QString& name) const { return m_folder.filePath(name); }
    bool MakeCertificate(QString* error) const;
    ::testing::AssertionResult Launch();
    bool WaitUntilAnswering();

    QTemporaryDir m_folder;
    QProcess m_process;
    EScheme m_scheme = EScheme::Http;
    quint16 m_port = 0;
};
