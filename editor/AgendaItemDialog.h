#pragma once

#include "store/DateTime.h"

#include <QDialog>

class CDateTimeField;
class QPlainTextEdit;
class QPushButton;

// One agenda item: its text and its time of day. The picker shows only the hour and minute;
// the date and the seconds of the time it was given come back unchanged. OK is refused while
// the text is empty (blanks count as text).
class CAgendaItemDialog : public QDialog {
    Q_OBJECT

public:
    // `now` is the time a new item starts with.
    explicit CAgendaItemDialog(const CDateTime& now, QWidget* parent = nullptr);

    // Texts break lines with CR LF, as they are stored.
    void SetText(const QString& text);
    QString GetText() const;
    void SetTime(const CDateTime& time);
    CDateTime GetTime() const;

    void accept() override;

private:
    QPlainTextEdit* m_text = nullptr;
    CDateTimeField* m_time = nullptr;
};
