#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;

// One todo: its text, its priority (0 Low, 1 Medium, 2 High) and its done mark. The text may
// be empty. A priority outside 0 to 2 leaves the priority box without a choice, and OK is
// refused until the user picks one.
class CTodoItemDialog : public QDialog {
    Q_OBJECT

public:
    explicit CTodoItemDialog(QWidget* parent = nullptr);

    // Texts break lines with CR LF, as they are stored.
    void SetText(const QString& text);
    QString GetText() const;
    void SetPriority(int priority);
    int GetPriority() const { return m_priority; }
    void SetDone(bool done);
    bool IsDone() const;

    void accept() override;

private:
    int m_priority = 1;
    QPlainTextEdit* m_text = nullptr;
    QComboBox* m_priorityBox = nullptr;
    QCheckBox* m_done = nullptr;
};
