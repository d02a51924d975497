#include "tests/support/CaldavClient.h"

#include "tests/support/SystemPython.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryFile>

#include <utility>

namespace {

constexpr int kRunSeconds = 60;

} // namespace

CCaldavClient::CCaldavClient(QUrl calendar, QString user, QString password)
    : m_calendar(std::move(calendar)), m_user(std::move(user)), m_password(std::move(password)) {}

::testing::AssertionResult CCaldavClient::List(QJsonArray* events) const {
    QByteArray output;
    ::testing::AssertionResult result = Run("list", {}, &output);
    if (!result) {
        return result;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(output, &error);
    if (!document.isArray()) {
        return ::testing::AssertionFailure() << "caldav_client list wrote no JSON array ("
                                             << error.errorString().toStdString() << "):\n"
                                             << output.toStdString();
    }
    *events = document.array();
    return result;
}

::testing::AssertionResult CCaldavClient::Run(const QString& command, const QStringList& arguments,
                                              QByteArray* output) const {
    QProcess process;
    process.start(SystemPython(), QStringList{TAVELIN_CALDAV_CLIENT, command, m_calendar.toString(),
                                              m_user, m_password} +
                                      arguments);
    if (!process.waitForFinished(kRunSeconds * 1000)) {
        process.kill();
        process.waitForFinished();
        return ::testing::AssertionFailure()
               << "caldav_client " << command.toStdString() << " did not finish within "
               << kRunSeconds << " s: " << process.errorString().toStdString();
    }
    const QByteArray out = process.readAllStandardOutput();
    if (output != nullptr) {
        *output = out;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return ::testing::AssertionFailure()
               << "caldav_client " << command.toStdString() << " failed (" << process.exitCode()
               << "): " << process.readAllStandardError().toStdString();
    }
    return ::testing::AssertionSuccess();
}
