#include "editor/AttendeesPage.h"

#include "editor/AttendeeListCtrl.h"
#include "editor/ContentListKeys.h"
#include "editor/PageButtons.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr int titleId = 61447;
constexpr int subtitleId = 61448;
constexpr int askDeleteId = 61458;

} // namespace

CAttendeesPage::CAttendeesPage(CMeetingStore& store, CDesktopServices& services,
                               std::string meetingId, QWidget* parent)
    : CMeetingSheetPage(store, services, meetingId, parent) {
    setObjectName(QStringLiteral("attendeesPage"));
    m_list = new CAttendeeListCtrl(meetingId, this);
    m_list->setObjectName(QStringLiteral("attendeeList"));
    m_list->installEventFilter(this);
    // Enter or a double click on a row is Mod.
    connect(m_list, &CContentListCtrl::ModifyRequested, this, &CAttendeesPage::Modify);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("attendeeName"));
    m_name->installEventFilter(this);

    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    add->setObjectName(QStringLiteral("addButton"));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &CAttendeesPage::Add);

    auto* buttons = new QVBoxLayout;
    connect(AddPageButton(*buttons, QStringLiteral("&Mod"), "modButton"), &QPushButton::clicked,
            this, &CAttendeesPage::Modify);
    connect(AddPageButton(*buttons, QStringLiteral("&Del"), "delButton"), &QPushButton::clicked,
            this, &CAttendeesPage::Delete);
    connect(AddPageButton(*buttons, QStringLiteral("&Up"), "upButton"), &QPushButton::clicked, this,
            &CAttendeesPage::MoveUp);
    connect(AddPageButton(*buttons, QStringLiteral("D&own"), "downButton"), &QPushButton::clicked,
            this, &CAttendeesPage::MoveDown);
    buttons->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0);
    layout->addWidget(m_name, 1, 0);
    layout->addWidget(add, 1, 1);
    layout->addLayout(buttons, 0, 1);
    layout->setRowStretch(0, 1);
    // The tab order of the page as it reads: list, name box and its Add, then the column.
    setTabOrder(m_list, m_name);
    setTabOrder(m_name, add);
    setTabOrder(add, findChild<QPushButton*>(QStringLiteral("modButton")));
}

QString CAttendeesPage::Caption() const {
    return QStringLiteral("Attendees");
}

int CAttendeesPage::HeaderTitleId() const {
    return titleId;
}

int CAttendeesPage::HeaderSubtitleId() const {
    return subtitleId;
}

void CAttendeesPage::Load() {
    m_list->Load();
}

// Wherever the page is shown first (a tab, a wizard step), it reads its file then.
void CAttendeesPage::showEvent(QShowEvent* event) {
    EnsureLoaded();
    CMeetingSheetPage::showEvent(event);
}

void CAttendeesPage::Save(SaveReason) {
    // A page never loaded holds nothing of the file: writing it would empty the file.
    if (!IsLoaded()) {
        return;
    }
    CommitNameEdit();
    m_list->Save();
}

void CAttendeesPage::CommitNameEdit() {
    // Next or OK pressed from the keyboard leaves the focus in an open name editor; the name
    // typed there belongs in the file, as Enter would have put it in the list.
    if (!m_list->IsEditing()) {
        return;
    }
    if (auto* editor = m_list->findChild<QLineEdit*>()) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &enter);
    }
}

void CAttendeesPage::Add() {
    // Only an empty box is refused: a name of blanks is added as typed.
    if (m_name->text().isEmpty()) {
        return;
    }
    m_list->Add(FromQString(m_name->text()));
    m_name->clear();
    m_name->setFocus();
}

void CAttendeesPage::Modify() {
    if (m_list->GetSelectionMark() < 0) {
        return;
    }
    m_list->setFocus();
    m_list->EditMarked();
}

void CAttendeesPage::Delete() {
    if (m_list->GetSelectionMark() < 0) {
        return;
    }
    if (m_services.Ask(askDeleteId, this)) {
        m_list->DeleteMarked();
    }
}

void CAttendeesPage::MoveUp() {
    m_list->MoveUp();
}

void CAttendeesPage::MoveDown() {
    m_list->MoveDown();
}

bool CAttendeesPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return CMeetingSheetPage::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter in a filled name box adds the name instead of closing the sheet; in an empty box
    // it still reaches the sheet's default button.
    if (watched == m_name && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        !m_name->text().isEmpty()) {
        Add();
        return true;
    }
    if (watched == m_list && !m_list->IsEditing()) {
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
