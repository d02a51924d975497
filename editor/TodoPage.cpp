#include "editor/TodoPage.h"

#include "editor/ContentListKeys.h"
#include "editor/LineBreaks.h"
#include "editor/PageButtons.h"
#include "editor/TodoItemDialog.h"
#include "editor/TodoListCtrl.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

constexpr int titleId = 61451;
constexpr int subtitleId = 61452;
constexpr int askDeleteId = 61465;

} // namespace

CTodoPage::CTodoPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                     QWidget* parent)
    : CMeetingSheetPage(store, services, meetingId, parent) {
    setObjectName(QStringLiteral("todoPage"));
    m_list = new CTodoListCtrl(meetingId, this);
    m_list->setObjectName(QStringLiteral("todoList"));
    m_list->installEventFilter(this);
    // Enter or a double click on a row is Mod.
    connect(m_list, &CContentListCtrl::ModifyRequested, this, &CTodoPage::Modify);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("todoTextBox"));
    m_text->setReadOnly(true);
    m_text->setTabChangesFocus(true);
    m_text->setMaximumHeight(64);

    auto* buttons = new QVBoxLayout;
    connect(AddPageButton(*buttons, QStringLiteral("&Add"), "addButton"), &QPushButton::clicked,
            this, &CTodoPage::Add);
    connect(AddPageButton(*buttons, QStringLiteral("&Mod"), "modButton"), &QPushButton::clicked,
            this, &CTodoPage::Modify);
    connect(AddPageButton(*buttons, QStringLiteral("&Del"), "delButton"), &QPushButton::clicked,
            this, &CTodoPage::Delete);
    connect(AddPageButton(*buttons, QStringLiteral("&Up"), "upButton"), &QPushButton::clicked, this,
            &CTodoPage::MoveUp);
    connect(AddPageButton(*buttons, QStringLiteral("D&own"), "downButton"), &QPushButton::clicked,
            this, &CTodoPage::MoveDown);
    buttons->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0);
    layout->addWidget(m_text, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->setRowStretch(0, 1);

    connect(m_list, &CListBase::SelectionMarkChanged, this, &CTodoPage::ShowMarkedItem);
    connect(m_list, &CContentListCtrl::ItemsChanged, this, &CTodoPage::ShowMarkedItem);
}

QString CTodoPage::Caption() const {
    return QStringLiteral("Todo");
}

int CTodoPage::HeaderTitleId() const {
    return titleId;
}

int CTodoPage::HeaderSubtitleId() const {
    return subtitleId;
}

void CTodoPage::Load() {
    m_list->Load();
    ShowMarkedItem();
}

// Wherever the page is shown first (a tab, a wizard step), it reads its file then.
void CTodoPage::showEvent(QShowEvent* event) {
    EnsureLoaded();
    CMeetingSheetPage::showEvent(event);
}

void CTodoPage::Save(SaveReason) {
    // A page never loaded holds nothing of the file: writing it would empty the file.
    if (!IsLoaded()) {
        return;
    }
    m_list->Save();
}

void CTodoPage::Add() {
    CTodoItemDialog dialog(this);
    dialog.SetPriority(CTodoItem::medium);
    dialog.SetDone(false);
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    CTodoItem item;
    item.text = FromQString(dialog.GetText());
    if (item.text.empty()) {
        item.text = "No Subject";
    }
    item.priority = dialog.GetPriority();
    item.done = dialog.IsDone() ? 1 : 0;
    m_list->Add(std::move(item));
}

void CTodoPage::Modify() {
    const CTodoItem* marked = m_list->GetMarkedItem();
    if (!marked) {
        return;
    }
    CTodoItemDialog dialog(this);
    dialog.SetText(ToQString(marked->text));
    dialog.SetPriority(marked->priority);
    dialog.SetDone(marked->done != 0);
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    // An emptied text stays empty here: only a new todo is named "No Subject".
    CTodoItem item;
    item.text = FromQString(dialog.GetText());
    item.priority = dialog.GetPriority();
    item.done = dialog.IsDone() ? 1 : 0;
    m_list->ModifyMarked(std::move(item));
}

void CTodoPage::Delete() {
    if (m_services.Ask(askDeleteId, this)) {
        m_list->DeleteMarked();
    }
}

void CTodoPage::MoveUp() {
    m_list->MoveUp();
}

void CTodoPage::MoveDown() {
    m_list->MoveDown();
}

void CTodoPage::ShowMarkedItem() {
    const CTodoItem* marked = m_list->GetMarkedItem();
    m_text->setPlainText(marked ? ToEditText(ToQString(marked->text)) : QString());
}

bool CTodoPage::eventFilter(QObject* watched, QEvent* event) {
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
