#pragma once

#include <QDateTimeEdit>

#include <optional>

class QLocale;

// Every date and time field of the program: a QDateTimeEdit that behaves as a date picker
// does. Tab and Shift+Tab leave it for the next and previous control; Left, Right and the
// separators move between its parts; "a" and "p" (or the first letters of the locale's AM
// and PM texts) set the half of the day that is shown and stored. Only the arrow keys, the
// wheel and the drop-down calendar step the value: a click on the frame does not.
class CDateTimeField : public QDateTimeEdit {
    Q_OBJECT

public:
    explicit CDateTimeField(QWidget* parent = nullptr);

    // A display pattern in the stored notation ("tt" for AM/PM) as Qt writes it ("AP").
    static QString ToQtPattern(QString pattern);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void SelectNeighbourSection(bool next);
    void SetHalfOfDay(bool pm);
};

// Whether a key typed in the AM/PM part asks for PM (true) or AM (false); nothing for a key
// that names neither.
std::optional<bool> HalfOfDayForKey(const QString& typed, const QLocale& locale);
