#include "ui/DateTimeField.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {

QChar FirstLetter(const QString& text) {
    return text.isEmpty() ? QChar() : text.front().toLower();
}

} // namespace

std::optional<bool> HalfOfDayForKey(const QString& typed, const QLocale& locale) {
    if (typed.size() != 1) {
        return std::nullopt;
    }
    const QChar letter = typed.front().toLower();
    const QChar am = FirstLetter(locale.amText());
    const QChar pm = FirstLetter(locale.pmText());
    // Where both texts start alike, only "a" and "p" tell them apart.
    const bool localeTells = am != pm;
    if (letter == u'a' || (localeTells && letter == am)) {
        return false;
    }
    if (letter == u'p' || (localeTells && letter == pm)) {
        return true;
    }
    return std::nullopt;
}

CDateTimeField::CDateTimeField(QWidget* parent) : QDateTimeEdit(parent) {}

QString CDateTimeField::ToQtPattern(QString pattern) {
    return pattern.replace(QStringLiteral("tt"), QStringLiteral("AP"));
}

bool CDateTimeField::event(QEvent* event) {
    // Tab belongs to the dialog, not to the parts of the date: the field is left with the
    // value as typed.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            const bool forward =
                key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            QWidget::focusNextPrevChild(forward);
            return true;
        }
    }
    return QDateTimeEdit::event(event);
}

void CDateTimeField::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier &&
        (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        SelectNeighbourSection(event->key() == Qt::Key_Right);
        event->accept();
        return;
    }
    if (currentSection() == AmPmSection && (modifiers & ~Qt::ShiftModifier) == Qt::NoModifier) {
        if (const std::optional<bool> pm = HalfOfDayForKey(event->text(), locale())) {
            SetHalfOfDay(*pm);
            event->accept();
            return;
        }
    }
    QDateTimeEdit::keyPressEvent(event);
}

void CDateTimeField::mousePressEvent(QMouseEvent* event) {
    // With the drop-down calendar the field is drawn as a combo box; a spin box would read the
    // combo box's frame as its up button and step the value. Only the arrow opens anything.
    if (calendarPopup()) {
        QStyleOptionComboBox option;
        option.initFrom(this);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QStyle::SubControl hit = style()->hitTestComplexControl(
            QStyle::CC_ComboBox, &option, event->position().toPoint(), this);
        if (hit != QStyle::SC_ComboBoxArrow) {
            event->accept();
            return;
        }
    }
    QDateTimeEdit::mousePressEvent(event);
}

void CDateTimeField::SelectNeighbourSection(bool next) {
    const int target = currentSectionIndex() + (next ? 1 : -1);
    // At either end the part stays marked.
    const bool inside = target >= 0 && target < sectionCount();
    setSelectedSection(inside ? sectionAt(target) : currentSection());
}

void CDateTimeField::SetHalfOfDay(bool pm) {
    interpretText();
    const QDateTime value = dateTime();
    const QTime time = value.time();
    const bool isPm = time.hour() >= 12;
    if (isPm != pm) {
        const int hour = time.hour() + (pm ? 12 : -12);
        // The same wall-clock time in the other half, whatever the clocks do that day.
        setDateTime(QDateTime(value.date(), QTime(hour, time.minute(), time.second())));
    }
    setSelectedSection(AmPmSection);
}
