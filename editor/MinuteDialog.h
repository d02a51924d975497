#pragma once

#include <QDialog>

class QPlainTextEdit;

// One minute's text. OK is refused while the text is empty (blanks count as text).
class CMinuteDialog : public QDialog {
    Q_OBJECT

public:
    explicit CMinuteDialog(QWidget* parent = nullptr);

    // Texts break lines with CR LF, as they are stored.
    void SetText(const QString& text);
    QString GetText() const;

    void accept() override;

private:
    QPlainTextEdit* m_text = nullptr;
};
