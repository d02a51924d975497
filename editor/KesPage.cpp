#include "editor/KesPage.h"

#include "editor/ContentListKeys.h"
#include "editor/MinuteDialog.h"
#include "editor/MinutesListCtrl.h"
#include "editor/PageButtons.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QHBoxLayout>
#include <QKeyEvent>

namespace {

constexpr int titleId = 61449;
constexpr int subtitleId = 61450;
constexpr int askDeleteId = 61461;

} // namespace

CKesPage::CKesPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                   QWidget* parent)
    : CMeetingSheetPage(store, services, meetingId, parent) {
    setObjectName(QStringLiteral("minutesPage"));
    m_list = new CMinutesListCtrl(meetingId, this);
    m_list->setObjectName(QStringLiteral("minutesList"));
    m_list->installEventFilter(this);
    // Enter or a double click on a row is Mod.
    connect(m_list, &CContentListCtrl::ModifyRequested, this, &CKesPage::Modify);

    auto* buttons = new QVBoxLayout;
    connect(AddPageButton(*buttons, QStringLiteral("&Add"), "addButton"), &QPushButton::clicked,
            this, &CKesPage::Add);
    connect(AddPageButton(*buttons, QStringLiteral("&Mod"), "modButton"), &QPushButton::clicked,
            this, &CKesPage::Modify);
    connect(AddPageButton(*buttons, QStringLiteral("&Del"), "delButton"), &QPushButton::clicked,
            this, &CKesPage::Delete);
    connect(AddPageButton(*buttons, QStringLiteral("&Up"), "upButton"), &QPushButton::clicked, this,
            &CKesPage::MoveUp);
    connect(AddPageButton(*buttons, QStringLiteral("D&own"), "downButton"), &QPushButton::clicked,
            this, &CKesPage::MoveDown);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

QString CKesPage::Caption() const {
    return QStringLiteral("Minutes");
}

int CKesPage::HeaderTitleId() const {
    return titleId;
}

int CKesPage::HeaderSubtitleId() const {
    return subtitleId;
}

void CKesPage::Load() {
    m_list->Load();
}

// Wherever the page is shown first (a tab, a wizard step), it reads its file then.
void CKesPage::showEvent(QShowEvent* event) {
    EnsureLoaded();
    CMeetingSheetPage::showEvent(event);
}

void CKesPage::Save(SaveReason) {
    // A page never loaded holds nothing of the file: writing it would empty the file.
    if (!IsLoaded()) {
        return;
    }
    m_list->Save();
}

void CKesPage::Add() {
    CMinuteDialog dialog(this);
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        m_list->Add(FromQString(dialog.GetText()));
    }
}

void CKesPage::Modify() {
    const std::string* marked = m_list->GetMarkedItem();
    if (!marked) {
        return;
    }
    CMinuteDialog dialog(this);
    dialog.SetText(ToQString(*marked));
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        m_list->ModifyMarked(FromQString(dialog.GetText()));
    }
}

void CKesPage::Delete() {
    if (m_list->GetSelectionMark() < 0) {
        return;
    }
    if (m_services.Ask(askDeleteId, this)) {
        m_list->DeleteMarked();
    }
}

void CKesPage::MoveUp() {
    m_list->MoveUp();
}

void CKesPage::MoveDown() {
    m_list->MoveDown();
}

bool CKesPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (ContentListKeyOf(key->key(), key->modifiers())) {
        case ContentListKey::remove:
            Delete();
            return true;
        case ContentListKey::modify:
            Modify();
            return true;
        case ContentListKey::moveUp:
            MoveUp();
            return true;
        case ContentListKey::moveDown:
            MoveDown();
            return true;
        case ContentListKey::none:
            break;
        }
    }
    return CMeetingSheetPage::eventFilter(watched, event);
}
