#include "editor/AttendeesPage.h"

#include "editor/AttendeeListCtrl.h"
#include "ui/TextConversion.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int titleId = 61447;
constexpr int subtitleId = 61448;
constexpr int askDeleteId = 61458;

} // namespace

CAttendeesPage::CAttendeesPage(CMeetingStore& store, CDesktopServices& services,
                               std::string meetingId, QWidget* parent)
    : CContentPage(store, services, meetingId, QStringLiteral("Attendees"), titleId, subtitleId,
                   askDeleteId, parent) {
    setObjectName(QStringLiteral("attendeesPage"));
    m_list = new CAttendeeListCtrl(meetingId, this);
    SetContentList(m_list, QStringLiteral("attendeeList"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("attendeeName"));
    m_name->installEventFilter(this);

    // Add sits beside the name box it takes the name from, not in the column.
    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    add->setObjectName(QStringLiteral("addButton"));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &CAttendeesPage::Add);

    auto* buttons =
        AddButtonColumn({Command::modify, Command::remove, Command::moveUp, Command::moveDown});

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

void CAttendeesPage::Save(SaveReason reason) {
    if (IsLoaded()) {
        CommitNameEdit();
    }
    CContentPage::Save(reason);
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

bool CAttendeesPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return CContentPage::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter in a filled name box adds the name instead of closing the sheet; in an empty box
    // it still reaches the sheet's default button.
    if (watched == m_name && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        !m_name->text().isEmpty()) {
        Add();
        return true;
    }
    // While a name is edited in place, the list's keys belong to its editor.
    if (watched == m_list && m_list->IsEditing()) {
        return CMeetingSheetPage::eventFilter(watched, event);
    }
    return CContentPage::eventFilter(watched, event);
}
