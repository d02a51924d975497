#include "app/QuickSheet.h"

#include "app/QuickAddPage.h"
#include "store/MeetingStore.h"
#include "ui/DateTimeConversion.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

CQuickSheet::CQuickSheet(CMeetingStore& store, CDesktopServices& services, QWidget* parent)
    : QDialog(parent), m_store(store), m_services(services), m_record(services.Now()) {
    setObjectName(QStringLiteral("quickSheet"));
    setWindowTitle(QStringLiteral("Quickly Add a Meeting"));

    m_page = new CQuickAddPage;
    auto* tabs = new QTabWidget(this);
    tabs->addTab(m_page, m_page->windowTitle());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    m_page->setFocus();
}

int CQuickSheet::Run() {
    m_page->SetTitle(ToQString(m_record.title));
    m_page->SetDateTime(ToQDateTime(m_record.date));
    m_page->SetVenue(ToQString(m_record.venue));

    const int result = m_services.RunDialog(*this);
    if (result != QDialog::Accepted) {
        return result;
    }
    const QString title = m_page->GetTitle().trimmed();
    m_record.title = title.isEmpty() ? std::string("No Subject") : FromQString(title);
    // The picker shows no seconds but keeps them: left alone, the meeting keeps the moment
    // the sheet opened.
    m_record.date = FromQDateTime(m_page->GetDateTime());
    m_record.venue = FromQString(m_page->GetVenue());
    m_record.id = m_store.AddMeeting(m_record);
    return result;
}
