#include "app/SyncCommands.h"

#include <QDir>

#include "app/CalendarServerDlg.h"
#include "app/DesktopSecretStore.h"
#include "app/FrameMeetingCommands.h"
#include "app/QuickViewCommands.h"
#include "app/SyncConflictsDlg.h"
#include "app/SyncStatusText.h"
#include "calendar/CalendarPage.h"
#include "store/WorkingDirectory.h"
#include "sync/SyncState.h"
#include "ui/DesktopServices.h"
#include "ui/Formatting.h"

#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QToolButton>

namespace {

constexpr int afterChangeMs = 5000;
constexpr int periodMs = 5 * 60 * 1000;

QString StateFileFor(const CServerSettings& settings) {
    return CSyncState::FileFor(QString::fromStdString(GetWorkingDirectory().string()),
                               settings.calendar.toString(), settings.user);
}

} // namespace

CSyncCommands::CSyncCommands(CFrameParts& parts, CFrameMeetingCommands& meetings,
                             CQuickViewCommands& quickView)
    : CFrameRoom(parts), m_meetings(meetings), m_quickView(quickView), m_storeGate(m_store),
      m_engine(*this, this) {
    m_afterChange.setSingleShot(true);
    m_afterChange.setInterval(afterChangeMs);
    m_period.setInterval(periodMs);
    m_retry.setSingleShot(true);
    for (QTimer* timer : {&m_afterChange, &m_period, &m_retry}) {
        connect(timer, &QTimer::timeout, this, [this] { Sync(false); });
    }
    connect(&m_engine, &CSyncEngine::progress, this,
            [this](int done, int total) { ShowLine(SyncProgressText(done, total)); });
    connect(&m_engine, &CSyncEngine::syncFinished, this, &CSyncCommands::Finished);
    AddFileListener(this);
}

CSyncCommands::~CSyncCommands() {
    RemoveFileListener(this);
    // A sync still running ends with the engine; what it says then finds no window to tell.
    m_engine.disconnect(this);
}

void CSyncCommands::Start(QStatusBar& bar) {
    m_status = new QToolButton(&bar);
    m_status->setObjectName(QStringLiteral("syncStatus"));
    m_status->setAutoRaise(true);
    m_status->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_status->setToolTip(QStringLiteral("The calendar server: click to see the conflicts"));
    m_status->hide();
    connect(m_status, &QToolButton::clicked, this, &CSyncCommands::ShowConflicts);
    bar.insertPermanentWidget(0, m_status);
    m_connected = CServerSettings::Load().IsConnected();
    m_period.start();
    QTimer::singleShot(0, this, [this] { Sync(false); });
}

CSecretStore& CSyncCommands::Secrets() {
    if (m_secrets == nullptr) {
        m_desktopSecrets = std::make_unique<CDesktopSecretStore>();
        m_secrets = m_desktopSecrets.get();
    }
    return *m_secrets;
}

void CSyncCommands::Sync(bool byUser) {
    const CServerSettings settings = CServerSettings::Load();
    m_connected = settings.IsConnected();
    if (!m_connected || GetWorkingDirectory().empty()) {
        if (byUser) {
            OpenServerDialog();
        }
        return;
    }
    if (settings.folder !=
        QDir(QString::fromStdString(GetWorkingDirectory().string())).canonicalPath()) {
        ShowLine(QStringLiteral("Not synced: the calendar server is connected for another "
                                "folder (Tools > Calendar Server...)"));
        return;
    }
    if (m_engine.IsRunning()) {
        m_syncAgain = true;
        return;
    }
    std::optional<QString> password = Secrets().Find(settings.server, settings.user);
    if (!password && (byUser || !m_askedPassword)) {
        m_askedPassword = true;
        password = AskPassword(settings, QString());
    }
    if (!password) {
        ShowLine(QStringLiteral("Not synced: the password is needed (Tools > Sync Now)"));
        return;
    }
    const CDavAccount account{settings.server, settings.user, *password,
                              settings.trustedCertificate};
    // This sync carries every change made so far.
    m_retry.stop();
    m_afterChange.stop();
    if (m_engine.StartSync(account, settings.calendar, GetWorkingDirectory(),
                           StateFileFor(settings))) {
        ShowLine(SyncProgressText(0, 0));
    }
}

std::optional<QString> CSyncCommands::AskPassword(const CServerSettings& settings,
                                                  const QString& why) {
    QInputDialog ask(m_window);
    ask.setObjectName(QStringLiteral("passwordDialog"));
    ask.setWindowTitle(QStringLiteral("Calendar Server"));
    ask.setTextEchoMode(QLineEdit::Password);
    ask.setLabelText(why + QStringLiteral("Password of %1 at %2:")
                               .arg(settings.user, settings.server.toDisplayString()));
    if (m_services.RunDialog(ask) != QDialog::Accepted || ask.textValue().isEmpty()) {
        return std::nullopt;
    }
    Secrets().Store(settings.server, settings.user, ask.textValue());
    return ask.textValue();
}

void CSyncCommands::Finished(const CSyncSummary& summary) {
    if (!m_forgetState.isEmpty()) {
        QFile::remove(m_forgetState);
        m_forgetState.clear();
        m_status->hide();
        emit syncEnded();
        return;
    }
    const ESyncOutcome outcome = SyncOutcome(summary);
    if (summary.received > 0 || summary.deletedHere > 0 || !summary.conflicts.empty()) {
        RefreshViews();
    }
    m_conflicts.insert(m_conflicts.end(), summary.conflicts.begin(), summary.conflicts.end());
    m_failures = RetriesByItself(outcome) ? m_failures + 1 : 0;
    if (m_failures > 0) {
        m_retry.start(RetryDelaySeconds(m_failures) * 1000);
    }
    if (outcome == ESyncOutcome::synced) {
        m_askedAgain = false;
    }
    m_last = summary;
    m_lastTime = FormatTime(m_services.Now());
    ShowLine(SyncStatusText(m_last, m_lastTime, static_cast<int>(m_conflicts.size())));
    if (outcome == ESyncOutcome::refused && !m_askedAgain) {
        m_askedAgain = true;
        const CServerSettings settings = CServerSettings::Load();
        if (AskPassword(settings, QStringLiteral("The server refused the password.\n"))) {
            m_syncAgain = true;
        }
    }
    if (m_syncAgain) {
        m_syncAgain = false;
        Sync(false);
    }
    emit syncEnded();
}

void CSyncCommands::RefreshViews() {
    if (m_calendar == nullptr) {
        return;
    }
    GetCalendarPage().RefreshList();
    m_quickView.RefreshQuickView();
    UpdateCommandStates();
}

void CSyncCommands::OpenServerDialog() {
    const CServerSettings current = CServerSettings::Load();
    const std::optional<QString> password =
        current.IsConnected() ? Secrets().Find(current.server, current.user) : std::nullopt;
    CCalendarServerDlg dialog(m_services, *this, current, password, m_window);
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    if (dialog.Disconnects()) {
        Disconnect(current);
        return;
    }
    const CServerSettings chosen = dialog.Result();
    if (current.IsConnected() && (current.server != chosen.server || current.user != chosen.user)) {
        Secrets().Forget(current.server, current.user);
    }
    chosen.Save();
    Secrets().Store(chosen.server, chosen.user, dialog.Password());
    m_askedAgain = false;
    m_failures = 0;
    Sync(false);
}

void CSyncCommands::Disconnect(const CServerSettings& settings) {
    Secrets().Forget(settings.server, settings.user);
    CServerSettings::Clear();
    m_connected = false;
    m_conflicts.clear();
    m_retry.stop();
    m_syncAgain = false;
    const QString state = StateFileFor(settings);
    if (m_engine.IsRunning()) {
        // The running sync would write its state again as it ends.
        m_forgetState = state;
        m_engine.Cancel();
        return;
    }
    QFile::remove(state);
    m_status->hide();
}

void CSyncCommands::ShowConflicts() {
    if (m_conflicts.empty()) {
        return;
    }
    CSyncConflictsDlg list(m_conflicts, m_store, m_window);
    m_services.RunDialog(list);
    if (!list.ChosenMeeting().empty()) {
        m_meetings.ViewMeeting(list.ChosenMeeting());
        return;
    }
    // Closed: the user has seen them, and the line says how the last sync went.
    m_conflicts.clear();
    if (!m_engine.IsRunning()) {
        ShowLine(SyncStatusText(m_last, m_lastTime, 0));
    }
}

void CSyncCommands::ShowLine(const QString& text) {
    if (m_status != nullptr) {
        m_status->setText(text);
        m_status->show();
    }
}

void CSyncCommands::FileWritten(const std::filesystem::path&) {
    if (!m_applying && m_connected) {
        m_afterChange.start();
    }
}

void CSyncCommands::FilesWritten(const std::vector<std::filesystem::path>& paths) {
    if (!paths.empty()) {
        FileWritten(paths.front());
    }
}

void CSyncCommands::FileRemoved(const std::filesystem::path& path) {
    FileWritten(path);
}

std::vector<std::string> CSyncCommands::Add(const std::vector<CCalendarMeeting>& meetings,
                                            const std::unordered_set<std::string>& listed) {
    const QScopedValueRollback applying(m_applying, true);
    return m_storeGate.Add(meetings, listed);
}

void CSyncCommands::Change(const CCalendarMeeting& meeting) {
    const QScopedValueRollback applying(m_applying, true);
    m_storeGate.Change(meeting);
}

void CSyncCommands::Delete(const std::string& id) {
    const QScopedValueRollback applying(m_applying, true);
    m_storeGate.Delete(id);
}
