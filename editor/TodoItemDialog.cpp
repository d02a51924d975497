#include "editor/TodoItemDialog.h"

#include "editor/DialogButtons.h"
#include "editor/LineBreaks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

CTodoItemDialog::CTodoItemDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("todoItemDialog"));
    setWindowTitle(QStringLiteral("Todo"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("todoText"));
    m_text->setTabChangesFocus(true);
    m_priorityBox = new QComboBox(this);
    m_priorityBox->setObjectName(QStringLiteral("todoPriority"));
    m_priorityBox->addItem(QStringLiteral("Low"), 0);
    m_priorityBox->addItem(QStringLiteral("Medium"), 1);
    m_priorityBox->addItem(QStringLiteral("High"), 2);
    m_done = new QCheckBox(QStringLiteral("&Done"), this);
    m_done->setObjectName(QStringLiteral("todoDone"));
    // The box stands to the right of its text.
    m_done->setLayoutDirection(Qt::RightToLeft);
    SetPriority(m_priority);

    auto* layout = new QGridLayout(this);
    auto* textLabel = new QLabel(QStringLiteral("&Todo"), this);
    textLabel->setBuddy(m_text);
    auto* priorityLabel = new QLabel(QStringLiteral("&Priority"), this);
    priorityLabel->setBuddy(m_priorityBox);
    auto* row = new QHBoxLayout;
    row->addWidget(priorityLabel);
    row->addWidget(m_priorityBox);
    row->addStretch(1);
    row->addWidget(m_done);
    layout->addWidget(textLabel, 0, 0);
    layout->addWidget(m_text, 1, 0);
    layout->addLayout(row, 2, 0);
    layout->addLayout(AddDialogButtons(*this), 0, 1, 3, 1);
    layout->setRowStretch(1, 1);
    m_text->setMinimumSize(220, 90);
    resize(360, 250);
    m_text->setFocus();
}

void CTodoItemDialog::SetText(const QString& text) {
    m_text->setPlainText(ToEditText(text));
}

QString CTodoItemDialog::GetText() const {
    return FromEditText(m_text->toPlainText());
}

void CTodoItemDialog::SetPriority(int priority) {
    m_priority = priority;
    m_priorityBox->setCurrentIndex(m_priorityBox->findData(priority));
}

void CTodoItemDialog::SetDone(bool done) {
    m_done->setChecked(done);
}

bool CTodoItemDialog::IsDone() const {
    return m_done->isChecked();
}

void CTodoItemDialog::accept() {
    if (m_priorityBox->currentIndex() < 0) {
        m_priorityBox->setFocus();
        return;
    }
    m_priority = m_priorityBox->currentData().toInt();
    QDialog::accept();
}
