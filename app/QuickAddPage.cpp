#include "app/QuickAddPage.h"

#include "app/ToolbarDateCtrl.h"
#include "ui/DateTimeField.h"

#include <QFormLayout>
#include <QLineEdit>

namespace {

// Date and time in one picker, two blanks before the hours.
const QString pickerFormat = QStringLiteral("dd MMM, yyyy  hh:mm tt");

} // namespace

CQuickAddPage::CQuickAddPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("quickAddPage"));
    setWindowTitle(QStringLiteral("Add Meeting"));

    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("title"));
    m_date = new CDateTimeField(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setDisplayFormat(CToolbarDateCtrl::ToQtFormat(pickerFormat));
    m_date->setCalendarPopup(true);
    m_venue = new QLineEdit(this);
    m_venue->setObjectName(QStringLiteral("venue"));

    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("&Title"), m_title);
    layout->addRow(QStringLiteral("&Date"), m_date);
    layout->addRow(QStringLiteral("&Venue"), m_venue);
    m_title->setMinimumWidth(260);
    setFocusProxy(m_title);
}

void CQuickAddPage::SetTitle(const QString& title) {
    m_title->setText(title);
}

void CQuickAddPage::SetDateTime(const QDateTime& value) {
    m_date->setDateTime(value);
}

void CQuickAddPage::SetVenue(const QString& venue) {
    m_venue->setText(venue);
}

QString CQuickAddPage::GetTitle() const {
    return m_title->text();
}

QDateTime CQuickAddPage::GetDateTime() const {
    return m_date->dateTime();
}

QString CQuickAddPage::GetVenue() const {
    return m_venue->text();
}
