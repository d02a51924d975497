#include "editor/AgendaPage.h"

#include "editor/AgendaItemDialog.h"
#include "editor/AgendaListCtrl.h"
#include "editor/ContentListKeys.h"
#include "editor/LineBreaks.h"
#include "editor/PageButtons.h"
#include "ui/DesktopServices.h"
#include "ui/StringTable.h"
#include "ui/TextConversion.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

constexpr int titleId = 61453;
constexpr int subtitleId = 61454;
constexpr int askDeleteId = 61457;

} // namespace

CAgendaPage::CAgendaPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                         QWidget* parent)
    : CMeetingSheetPage(store, services, meetingId, parent) {
    setObjectName(QStringLiteral("agendaPage"));
    m_list = new CAgendaListCtrl(meetingId, this);
    m_list->setObjectName(QStringLiteral("agendaList"));
    m_list->installEventFilter(this);
    // Enter or a double click on a row is Mod.
    connect(m_list, &CContentListCtrl::ModifyRequested, this, &CAgendaPage::Modify);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("agendaTextBox"));
    m_text->setReadOnly(true);
    m_text->setTabChangesFocus(true);
    m_text->setMaximumHeight(64);

    auto* buttons = new QVBoxLayout;
    connect(AddPageButton(*buttons, QStringLiteral("&Add"), "addButton"), &QPushButton::clicked,
            this, &CAgendaPage::Add);
    connect(AddPageButton(*buttons, QStringLiteral("&Mod"), "modButton"), &QPushButton::clicked,
            this, &CAgendaPage::Modify);
    connect(AddPageButton(*buttons, QStringLiteral("&Del"), "delButton"), &QPushButton::clicked,
            this, &CAgendaPage::Delete);
    buttons->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0);
    layout->addWidget(m_text, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->setRowStretch(0, 1);

    connect(m_list, &CListBase::SelectionMarkChanged, this, &CAgendaPage::ShowMarkedItem);
    connect(m_list, &CContentListCtrl::ItemsChanged, this, &CAgendaPage::ShowMarkedItem);
}

QString CAgendaPage::Caption() const {
    return QStringLiteral("Agenda");
}

int CAgendaPage::HeaderTitleId() const {
    return titleId;
}

int CAgendaPage::HeaderSubtitleId() const {
    return subtitleId;
}

void CAgendaPage::Load() {
    m_list->Load();
    ShowMarkedItem();
}

// Wherever the page is shown first (a tab, a wizard step), it reads its file then.
void CAgendaPage::showEvent(QShowEvent* event) {
    EnsureLoaded();
    CMeetingSheetPage::showEvent(event);
}

void CAgendaPage::Save(SaveReason) {
    // A page never loaded holds nothing of the file: writing it would empty the file.
    if (!IsLoaded()) {
        return;
    }
    m_list->Save();
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
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        m_list->ModifyMarked(CAgendaItem{dialog.GetTime(), FromQString(dialog.GetText())});
    }
}

void CAgendaPage::Delete() {
    if (m_list->GetSelectionMark() < 0) {
        return;
    }
    if (m_services.Ask(askDeleteId, this)) {
        m_list->DeleteMarked();
    }
}

void CAgendaPage::ShowMarkedItem() {
    const CAgendaItem* marked = m_list->GetMarkedItem();
    m_text->setPlainText(marked ? ToEditText(ToQString(marked->text)) : QString());
}

bool CAgendaPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (ContentListKeyOf(key->key(), key->modifiers())) {
        case ContentListKey::remove:
            Delete();
            return true;
        case ContentListKey::modify:
            Modify();
            return true;
        default:
            break;
        }
    }
    return CMeetingSheetPage::eventFilter(watched, event);
}
