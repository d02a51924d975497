#include "app/CalendarServerDlg.h"

#include "store/WorkingDirectory.h"
#include <QDir>

#include "app/HelpWindow.h"
#include "app/SyncStatusText.h"
#include "ui/DesktopServices.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr int urlRole = Qt::UserRole;

QUrl ServerUrl(const QString& text) {
    return QUrl::fromUserInput(text.trimmed());
}

} // namespace

CCalendarServerDlg::CCalendarServerDlg(CDesktopServices& services, CSyncStoreGate& gate,
                                       const CServerSettings& current,
                                       const std::optional<QString>& password, QWidget* parent)
    : QDialog(parent), m_services(services), m_engine(gate, this),
      m_currentCalendar(current.calendar), m_trusted(current.trustedCertificate),
      m_trustedServer(current.server) {
    setObjectName(QStringLiteral("calendarServerDialog"));
    setWindowTitle(QStringLiteral("Calendar Server"));
    BuildFields(current, password);
    BuildButtons(current.IsConnected());
    connect(&m_engine, &CSyncEngine::discoveryFinished, this, &CCalendarServerDlg::ShowDiscovery);
    connect(&m_engine, &CSyncEngine::calendarMade, this, &CCalendarServerDlg::ShowMadeCalendar);
    if (current.IsConnected()) {
        AddCalendar({current.calendar, current.calendarName});
        m_calendars->setCurrentRow(0);
    }
    UpdateButtons();
    resize(460, 420);
}

void CCalendarServerDlg::BuildFields(const CServerSettings& current,
                                     const std::optional<QString>& password) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_server = new QLineEdit(current.server.toString(), this);
    m_server->setObjectName(QStringLiteral("serverEdit"));
    m_server->setPlaceholderText(QStringLiteral("https://calendar.example.org/"));
    m_user = new QLineEdit(current.user, this);
    m_user->setObjectName(QStringLiteral("userEdit"));
    m_password = new QLineEdit(password.value_or(QString()), this);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("&Server:"), m_server);
    form->addRow(QStringLiteral("&User name:"), m_user);
    form->addRow(QStringLiteral("&Password:"), m_password);
    layout->addLayout(form);

    auto* testRow = new QHBoxLayout;
    m_test = new QPushButton(QStringLiteral("&Test"), this);
    m_test->setObjectName(QStringLiteral("testButton"));
    m_message = new QLabel(QStringLiteral("Test finds the calendars of this account."), this);
    m_message->setObjectName(QStringLiteral("serverMessage"));
    m_message->setWordWrap(true);
    testRow->addWidget(m_test);
    testRow->addWidget(m_message, 1);
    layout->addLayout(testRow);

    auto* calendarsLabel = new QLabel(QStringLiteral("&Calendar to sync with:"), this);
    m_calendars = new QListWidget(this);
    m_calendars->setObjectName(QStringLiteral("calendarList"));
    calendarsLabel->setBuddy(m_calendars);
    layout->addWidget(calendarsLabel);
    layout->addWidget(m_calendars, 1);

    for (QLineEdit* edit : {m_server, m_user, m_password}) {
        connect(edit, &QLineEdit::textEdited, this, &CCalendarServerDlg::AccountEdited);
    }
    connect(m_test, &QPushButton::clicked, this, &CCalendarServerDlg::Test);
    connect(m_calendars, &QListWidget::currentRowChanged, this, &CCalendarServerDlg::UpdateButtons);
}

void CCalendarServerDlg::BuildButtons(bool connected) {
    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("helpButton"));
    m_newCalendar =
        buttons->addButton(QStringLiteral("&New Calendar..."), QDialogButtonBox::ActionRole);
    m_newCalendar->setObjectName(QStringLiteral("newCalendarButton"));
    auto* disconnect =
        buttons->addButton(QStringLiteral("&Disconnect"), QDialogButtonBox::ResetRole);
    disconnect->setObjectName(QStringLiteral("disconnectButton"));
    disconnect->setEnabled(connected);
    layout()->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &CCalendarServerDlg::ShowHelpPage);
    connect(m_newCalendar, &QPushButton::clicked, this, &CCalendarServerDlg::NewCalendar);
    connect(disconnect, &QPushButton::clicked, this, &CCalendarServerDlg::Disconnect);
}

CDavAccount CCalendarServerDlg::Account() const {
    const QUrl server = ServerUrl(m_server->text());
    // A certificate is trusted for the server it was shown by, never for another one.
    const bool sameServer =
        server.host() == m_trustedServer.host() && server.port() == m_trustedServer.port();
    return {server, m_user->text().trimmed(), m_password->text(),
            sameServer ? m_trusted : QByteArray()};
}

// A calendar found for another account is no choice for this one.
void CCalendarServerDlg::AccountEdited() {
    m_calendars->clear();
    m_home = QUrl();
    UpdateButtons();
}

void CCalendarServerDlg::Test() {
    const CDavAccount account = Account();
    if (const QString unsafe = CDavClient::UnsafeUrlReason(account.server); !unsafe.isEmpty()) {
        m_message->setText(unsafe);
        return;
    }
    if (m_engine.StartDiscovery(account)) {
        m_message->setText(QStringLiteral("Looking for calendars..."));
    }
    UpdateButtons();
}

void CCalendarServerDlg::ShowDiscovery(const CDiscovery& discovery) {
    if (!discovery.refusedCertificate.isEmpty()) {
        if (TrustCertificate(discovery.refusedCertificate)) {
            Test();
        } else {
            m_message->setText(QStringLiteral("The server's certificate was refused."));
            UpdateButtons();
        }
        return;
    }
    m_calendars->clear();
    m_home = discovery.home;
    if (!discovery.failure.isEmpty()) {
        m_message->setText(discovery.failure);
    } else {
        for (const CServerCalendar& calendar : discovery.calendars) {
            AddCalendar(calendar);
            if (calendar.url == m_currentCalendar) {
                m_calendars->setCurrentRow(m_calendars->count() - 1);
            }
        }
        m_message->setText(discovery.calendars.empty()
                               ? QStringLiteral("No calendar yet: make one with New Calendar.")
                               : QStringLiteral("Pick the calendar to sync with."));
    }
    UpdateButtons();
}

bool CCalendarServerDlg::TrustCertificate(const QByteArray& fingerprint) {
    const QUrl server = ServerUrl(m_server->text());
    const QString text =
        QStringLiteral("The server %1 shows a certificate that this computer does not know.\n\n"
                       "SHA-256 fingerprint:\n%2\n\n"
                       "Trust it only if it is the fingerprint your server's administrator "
                       "gave you. Trust this certificate for this server?")
            .arg(server.host(), FingerprintText(fingerprint));
    if (!m_services.AskChoice(text, QStringLiteral("Trust"), QStringLiteral("Refuse"), this)) {
        return false;
    }
    m_trusted = fingerprint;
    m_trustedServer = server;
    return true;
}

void CCalendarServerDlg::NewCalendar() {
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("calendarNameDialog"));
    ask.setWindowTitle(QStringLiteral("New Calendar"));
    ask.setLabelText(QStringLiteral("Name of the new calendar:"));
    ask.setTextValue(QStringLiteral("Meetings"));
    if (m_services.RunDialog(ask) != QDialog::Accepted || ask.textValue().trimmed().isEmpty()) {
        return;
    }
    if (m_engine.StartMakeCalendar(Account(), m_home, ask.textValue().trimmed())) {
        m_message->setText(QStringLiteral("Making the calendar..."));
    }
    UpdateButtons();
}

void CCalendarServerDlg::ShowMadeCalendar(const std::optional<CServerCalendar>& calendar,
                                          const QString& failure) {
    if (calendar) {
        AddCalendar(*calendar);
        m_calendars->setCurrentRow(m_calendars->count() - 1);
        m_message->setText(QStringLiteral("The calendar was made."));
    } else {
        m_message->setText(failure);
    }
    UpdateButtons();
}

void CCalendarServerDlg::AddCalendar(const CServerCalendar& calendar) {
    auto* item = new QListWidgetItem(calendar.name.isEmpty() ? calendar.url.path() : calendar.name,
                                     m_calendars);
    item->setData(urlRole, calendar.url);
    item->setToolTip(calendar.url.toString());
}

void CCalendarServerDlg::Disconnect() {
    const QString text =
        QStringLiteral("Stop syncing with %1?\n\nThe meetings stay in this folder and on the "
                       "server; the password and what the last sync remembered are forgotten.")
            .arg(ServerUrl(m_server->text()).toDisplayString());
    if (m_services.AskChoice(text, QStringLiteral("Disconnect"), QStringLiteral("Cancel"), this)) {
        m_disconnects = true;
        accept();
    }
}

void CCalendarServerDlg::ShowHelpPage() {
    CHelpWindow* help = CHelpWindow::ShowContents(this);
    help->Browser()->setSource(QUrl(QStringLiteral("qrc:/help/calendar-server.html")));
}

void CCalendarServerDlg::UpdateButtons() {
    const bool idle = !m_engine.IsRunning();
    m_test->setEnabled(idle);
    m_newCalendar->setEnabled(idle && m_home.isValid());
    m_ok->setEnabled(idle && m_calendars->currentItem() != nullptr);
}

CServerSettings CCalendarServerDlg::Result() const {
    const CDavAccount account = Account();
    CServerSettings settings;
    settings.server = account.server;
    settings.user = account.user;
    settings.trustedCertificate = account.trustedCertificate;
    settings.folder = QDir(QString::fromStdString(GetWorkingDirectory().string())).canonicalPath();
    if (const QListWidgetItem* item = m_calendars->currentItem()) {
        settings.calendar = item->data(urlRole).toUrl();
        settings.calendarName = item->text();
    }
    return settings;
}

QString CCalendarServerDlg::Password() const {
    return m_password->text();
}
