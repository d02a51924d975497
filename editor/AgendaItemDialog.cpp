#include "editor/AgendaItemDialog.h"

#include "editor/DialogButtons.h"
#include "editor/LineBreaks.h"
#include "ui/DateTimeConversion.h"
#include "ui/DateTimeField.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

CAgendaItemDialog::CAgendaItemDialog(const CDateTime& now, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("agendaItemDialog"));
    setWindowTitle(QStringLiteral("Agenda"));

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("agendaText"));
    m_text->setTabChangesFocus(true);
    m_time = new CDateTimeField(this);
    m_time->setObjectName(QStringLiteral("agendaTime"));
    m_time->setDisplayFormat(QStringLiteral("hh:mm AP"));
    SetTime(now);

    auto* layout = new QGridLayout(this);
    auto* textLabel = new QLabel(QStringLiteral("&Agenda"), this);
    textLabel->setBuddy(m_text);
    auto* timeLabel = new QLabel(QStringLiteral("&Time"), this);
    timeLabel->setBuddy(m_time);
    layout->addWidget(textLabel, 0, 0);
    layout->addWidget(m_text, 1, 0);
    layout->addWidget(timeLabel, 2, 0);
    layout->addWidget(m_time, 3, 0, Qt::AlignLeft);
    layout->addLayout(AddDialogButtons(*this), 0, 1, 4, 1);
    layout->setRowStretch(1, 1);
    m_text->setMinimumSize(240, 60);
    // The edit alone would ask for far more room than a few lines need.
    resize(380, 200);
    m_text->setFocus();
}

void CAgendaItemDialog::SetText(const QString& text) {
    m_text->setPlainText(ToEditText(text));
}

QString CAgendaItemDialog::GetText() const {
    return FromEditText(m_text->toPlainText());
}

void CAgendaItemDialog::SetTime(const CDateTime& time) {
    m_time->setDateTime(ToQDateTime(time));
}

CDateTime CAgendaItemDialog::GetTime() const {
    return FromQDateTime(m_time->dateTime());
}

void CAgendaItemDialog::accept() {
    if (m_text->toPlainText().isEmpty()) {
        m_text->setFocus();
        return;
    }
    QDialog::accept();
}
