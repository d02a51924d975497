#include "editor/TodoPage.h"

#include "editor/LineBreaks.h"
#include "editor/TodoItemDialog.h"
#include "editor/TodoListCtrl.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QGridLayout>
#include <QPlainTextEdit>

namespace {

constexpr int titleId = 61451;
constexpr int subtitleId = 61452;
constexpr int askDeleteId = 61465;

} // namespace

CTodoPage::CTodoPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                     QWidget* parent)
    : CContentPage(store, services, meetingId, QStringLiteral("Todo"), titleId, subtitleId,
                   askDeleteId, parent) {
    setObjectName(QStringLiteral("todoPage"));
    m_list = new CTodoListCtrl(meetingId, this);
    SetContentList(m_list, QStringLiteral("todoList"));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("todoTextBox"));
    m_text->setReadOnly(true);
    m_text->setTabChangesFocus(true);
    m_text->setMaximumHeight(64);

    auto* buttons = AddButtonColumn(
        {Command::add, Command::modify, Command::remove, Command::moveUp, Command::moveDown});

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0);
    layout->addWidget(m_text, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->setRowStretch(0, 1);

    connect(m_list, &CListBase::SelectionMarkChanged, this, &CTodoPage::ShowMarkedItem);
    connect(m_list, &CContentListCtrl::ItemsChanged, this, &CTodoPage::ShowMarkedItem);
}

void CTodoPage::Load() {
    CContentPage::Load();
    ShowMarkedItem();
}

void CTodoPage::MarkTodo(std::size_t position) {
    EnsureLoaded();
    if (position < static_cast<std::size_t>(m_list->GetItemCount())) {
        const int row = static_cast<int>(position);
        m_list->SetSelectionMark(row);
        m_list->ScrollTo(row);
    }
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
    const QString shownText = dialog.GetText();
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        return;
    }
    // An emptied text stays empty here: only a new todo is named "No Subject".
    CTodoItem item;
    item.text = KeptOrTyped(dialog.GetText(), shownText, marked->text);
    item.priority = dialog.GetPriority();
    item.done = dialog.IsDone() ? 1 : 0;
    m_list->ModifyMarked(std::move(item));
}

void CTodoPage::Delete() {
    // Unlike the other pages, the question comes even with no todo marked.
    AskAndDelete();
}

void CTodoPage::ShowMarkedItem() {
    const CTodoItem* marked = m_list->GetMarkedItem();
    m_text->setPlainText(marked ? ToEditText(ToQString(marked->text)) : QString());
}
