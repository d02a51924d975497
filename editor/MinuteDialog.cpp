#include "editor/MinuteDialog.h"

#include "editor/DialogButtons.h"
#include "editor/LineBreaks.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

CMinuteDialog::CMinuteDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("minuteDialog"));
    setWindowTitle(QStringLiteral("Tavelin"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("minuteText"));
    m_text->setTabChangesFocus(true);

    auto* layout = new QGridLayout(this);
    auto* label = new QLabel(QStringLiteral("&Minute"), this);
    label->setBuddy(m_text);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_text, 1, 0);
    layout->addLayout(AddDialogButtons(*this), 0, 1, 2, 1);
    layout->setRowStretch(1, 1);
    m_text->setMinimumSize(240, 90);
    resize(380, 210);
    m_text->setFocus();
}

void CMinuteDialog::SetText(const QString& text) {
    m_text->setPlainText(ToEditText(text));
}

QString CMinuteDialog::GetText() const {
    return FromEditText(m_text->toPlainText());
}

void CMinuteDialog::accept() {
    if (m_text->toPlainText().isEmpty()) {
        m_text->setFocus();
        return;
    }
    QDialog::accept();
}
