#pragma once

#include "app/ServerSettings.h"
#include "sync/SyncEngine.h"

#include <QDialog>

#include <optional>

class CDesktopServices;
class CSyncStoreGate;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Tools > Calendar Server...: the server's address, the user name and the password; Test
// looks for the account's calendars (on the engine's thread: the window stays usable) and
// lists them; the user picks one or makes a new one. Nothing is kept until OK, and then by
// the caller. An unknown certificate is shown with its host and fingerprint and trusted only
// when the user says so. Disconnect asks, then closes the dialog for the caller to forget the
// account.
class CCalendarServerDlg : public QDialog {
    Q_OBJECT

public:
    CCalendarServerDlg(CDesktopServices& services, CSyncStoreGate& gate,
                       const CServerSettings& current, const std::optional<QString>& password,
                       QWidget* parent = nullptr);

    // What OK confirmed: the account and the calendar picked.
    CServerSettings Result() const;
    QString Password() const;
    // The dialog closed through Disconnect.
    bool Disconnects() const { return m_disconnects; }

private:
    void BuildFields(const CServerSettings& current, const std::optional<QString>& password);
    void BuildButtons(bool connected);
    CDavAccount Account() const;
    void AccountEdited();
    void Test();
    void ShowDiscovery(const CDiscovery& discovery);
    bool TrustCertificate(const QByteArray& fingerprint);
    void NewCalendar();
    void ShowMadeCalendar(const std::optional<CServerCalendar>& calendar, const QString& failure);
    void AddCalendar(const CServerCalendar& calendar);
    void Disconnect();
    void ShowHelpPage();
    void UpdateButtons();

    CDesktopServices& m_services;
    CSyncEngine m_engine;
    QUrl m_currentCalendar;
    QUrl m_home;
    QByteArray m_trusted;
    QUrl m_trustedServer;
    bool m_disconnects = false;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_message = nullptr;
    QListWidget* m_calendars = nullptr;
    QPushButton* m_test = nullptr;
    QPushButton* m_newCalendar = nullptr;
    QPushButton* m_ok = nullptr;
};
