#include "editor/AgendaPage.h"

#include "editor/AgendaItemDialog.h"
#include "editor/AgendaListCtrl.h"
#include "editor/LineBreaks.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QGridLayout>
#include <QPlainTextEdit>

namespace {

constexpr int titleId = 61453;
constexpr int subtitleId = 61454;
constexpr int askDeleteId = 61457;

} // namespace

CAgendaPage::CAgendaPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                         QWidget* parent)
    : CContentPage(store, services, meetingId, QStringLiteral("Agenda"), titleId, subtitleId,
                   askDeleteId, parent) {
    setObjectName(QStringLiteral("agendaPage"));
    m_list = new CAgendaListCtrl(meetingId, this);
    SetContentList(m_list, QStringLiteral("agendaList"));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("agendaTextBox"));
    m_text->setReadOnly(true);
    m_text->setTabChangesFocus(true);
    m_text->setMaximumHeight(64);

    // The agenda keeps the order of time: no Up and Down.
    auto* buttons = AddButtonColumn({Command::add, Command::modify, Command::remove});

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0);
    layout->addWidget(m_text, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->setRowStretch(0, 1);

    connect(m_list, &CListBase::SelectionMarkChanged, this, &CAgendaPage::ShowMarkedItem);
    connect(m_list, &CContentListCtrl::ItemsChanged, this, &CAgendaPage::ShowMarkedItem);
}

void CAgendaPage::Load() {
    CContentPage::Load();
    ShowMarkedItem();
}

void CAgendaPage::Add() {
    CAgendaItemDialog dialog(m_services.Now(), this);
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        m_list->Add(CAgendaItem{dialog.GetTime(), FromQString(dialog.GetText())});
    }
}

void CAgendaPage::Modify() {
    const CAgendaItem* marked = m_list->GetMarkedItem();
    if (!marked) {
        return;
    }
    CAgendaItemDialog dialog(m_services.Now(), this);
    dialog.SetText(ToQString(marked->text));
    dialog.SetTime(marked->time);
    // OK on what was shown keeps the item's bytes: its text's code page, its time to the bit.
    const QString shownText = dialog.GetText();
    const CDateTime shownTime = dialog.GetTime();
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        const CDateTime time = dialog.GetTime();
        m_list->ModifyMarked(CAgendaItem{time == shownTime ? marked->time : time,
                                         KeptOrTyped(dialog.GetText(), shownText, marked->text)});
    }
}

void CAgendaPage::ShowMarkedItem() {
    const CAgendaItem* marked = m_list->GetMarkedItem();
    m_text->setPlainText(marked ? ToEditText(ToQString(marked->text)) : QString());
}
