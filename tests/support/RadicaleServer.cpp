#include "tests/support/RadicaleServer.h"

#include "tests/support/SystemPython.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr int kStartSeconds = 15;
constexpr int kRequestSeconds = 15;
// A port picked free may be taken by someone else before the server binds it.
constexpr int kLaunchAttempts = 3;

quint16 FreePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    return probe.serverPort();
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool WriteText(const QString& path, const QString& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
}

QByteArray MkcalendarBody(const QString& name) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                          "<C:mkcalendar xmlns:D=\"DAV:\" "
                          "xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:set><D:prop>"
                          "<D:displayname>%1</D:displayname>"
                          "<C:supported-calendar-component-set><C:comp name=\"VEVENT\"/>"
                          "</C:supported-calendar-component-set>"
                          "</D:prop></D:set></C:mkcalendar>\n")
        .arg(name.toHtmlEscaped())
        .toUtf8();
}

} // namespace

CRadicaleServer::CRadicaleServer() = default;

CRadicaleServer::~CRadicaleServer() {
    Stop();
}

::testing::AssertionResult CRadicaleServer::Start(const QMap<QString, QString>& passwords,
                                                  EScheme scheme) {
    m_scheme = scheme;
    QString users;
    for (auto it = passwords.begin(); it != passwords.end(); ++it) {
        users += it.key() + ':' + it.value() + '\n';
    }
    QString error = "cannot write " + PathOf("users");
    if (!m_folder.isValid() || !WriteText(PathOf("users"), users) || !MakeCertificate(&error)) {
        return ::testing::AssertionFailure()
               << "cannot prepare the server: " << error.toStdString();
    }
    ::testing::AssertionResult result = ::testing::AssertionFailure();
    for (int attempt = 0; attempt < kLaunchAttempts && !result; ++attempt) {
        result = Launch();
    }
    return result;
}

void CRadicaleServer::Stop() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QUrl CRadicaleServer::BaseUrl() const {
    const QString scheme = m_scheme == EScheme::Https ? "https" : "http";
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/").arg(scheme).arg(m_port));
}

QString CRadicaleServer::LogText() const {
    return ReadText(PathOf("radicale.log"));
}

QString CRadicaleServer::CertificateFile() const {
    return PathOf("cert.pem");
}

QString CRadicaleServer::KeyFile() const {
    return PathOf("key.pem");
}

QByteArray CRadicaleServer::CertificatePem() const {
    return ReadText(CertificateFile()).toUtf8();
}

QString CRadicaleServer::StorageFolder() const {
    return PathOf("collections");
}

bool CRadicaleServer::MakeCertificate(QString* error) const {
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", KeyFile(), "-out", CertificateFile()});
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        *error = "openssl could not make a certificate: " + openssl.errorString() + '\n' +
                 QString::fromUtf8(openssl.readAll());
        return false;
    }
    return true;
}

::testing::AssertionResult CRadicaleServer::Launch() {
    m_port = FreePort();
    const bool https = m_scheme == EScheme::Https;
    const QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\nssl = %2\n"
                                          "certificate = %3\nkey = %4\n"
                                          "[auth]\ntype = htpasswd\nhtpasswd_filename = %5\n"
                                          "htpasswd_encryption = plain\ndelay = 0\n"
                                          "[rights]\ntype = owner_only\n"
                                          "[storage]\nfilesystem_folder = %6\n"
                                          "[web]\ntype = none\n"
                                          "[logging]\nlevel = error\nmask_passwords = True\n")
                               .arg(m_port)
                               .arg(https ? "True" : "False", CertificateFile(), KeyFile(),
                                    PathOf("users"), StorageFolder());
    if (m_port == 0 || !WriteText(PathOf("config"), config)) {
        return ::testing::AssertionFailure() << "cannot pick a port or write the configuration";
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(PathOf("radicale.log"), QIODevice::Append);
    m_process.setWorkingDirectory(m_folder.path());
    m_process.start(SystemPython(), {"-m", "radicale", "--config", PathOf("config")});
    if (WaitUntilAnswering()) {
        return ::testing::AssertionSuccess();
    }
    std::string why = "did not answer within " + std::to_string(kStartSeconds) + " s";
    if (m_process.error() == QProcess::FailedToStart) {
        why = "could not start: " + m_process.errorString().toStdString();
    } else if (m_process.state() == QProcess::NotRunning) {
        why = "stopped with exit code " + std::to_string(m_process.exitCode());
    }
    Stop();
    return ::testing::AssertionFailure()
           << "Radicale on port " << m_port << " " << why << "; its log "
           << PathOf("radicale.log").toStdString() << ":\n"
           << LogText().toStdString();
}

bool CRadicaleServer::WaitUntilAnswering() {
    if (!m_process.waitForStarted(kStartSeconds * 1000)) {
        return false;
    }
    const QDeadlineTimer deadline(kStartSeconds * 1000);
    while (!deadline.hasExpired() && m_process.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(500)) {
            return true;
        }
        // Also how the process's end is noticed, with no event loop running here.
        if (m_process.waitForFinished(100)) {
            return false;
        }
    }
    return false;
}

QUrl CRadicaleServer::MakeCalendar(const QString& user, const QString& password,
                                   const QString& name, QString* error) const {
    QUrl url = BaseUrl().resolved(
        QUrl(QUrl::toPercentEncoding(user) + '/' + QUrl::toPercentEncoding(name) + '/'));
    QNetworkRequest request(url);
    request.setRawHeader("Authorization", "Basic " + (user + ':' + password).toUtf8().toBase64());
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/xml; charset=utf-8");
    if (m_scheme == EScheme::Https) {
        QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
        ssl.setCaCertificates(QSslCertificate::fromPath(CertificateFile()));
        request.setSslConfiguration(ssl);
    }
    QNetworkAccessManager network;
    QNetworkReply* reply = network.sendCustomRequest(request, "MKCALENDAR", MkcalendarBody(name));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kRequestSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 201) {
        if (error != nullptr) {
            *error = QStringLiteral("MKCALENDAR %1 answered %2 (%3)")
                         .arg(url.toString())
                         .arg(status)
                         .arg(reply->isFinished() ? reply->errorString() : "no answer in time");
        }
        url.clear();
    }
    reply->abort();
    reply->deleteLater();
    return url;
}
