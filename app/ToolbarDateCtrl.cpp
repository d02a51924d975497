#include "app/ToolbarDateCtrl.h"

#include "app/DateTimeConversion.h"
#include "store/Clock.h"

#include <QSignalBlocker>

CToolbarDateCtrl::CToolbarDateCtrl(QWidget* parent) : QDateTimeEdit(parent) {
    setObjectName(QStringLiteral("datePicker"));
    setCalendarPopup(true);
    setFixedWidth(140);
    setKeyboardTracking(false);
    SetDateTime(CurrentDateTime());
    connect(this, &QDateTimeEdit::dateTimeChanged, this, [this] { emit pickedDateChanged(); });
}

CDateTime CToolbarDateCtrl::GetDateTime() const {
    return FromQDateTime(dateTime());
}

void CToolbarDateCtrl::SetDateTime(const CDateTime& value) {
    const QSignalBlocker blocker(this);
    setDateTime(ToQDateTime(value));
}

QString CToolbarDateCtrl::ToQtFormat(QString pattern) {
    return pattern.replace(QStringLiteral("tt"), QStringLiteral("AP"));
}

void CToolbarDateCtrl::SetFormat(const QString& pattern) {
    // The calendar asks for its mode's pattern at every date change; setting a pattern
    // re-parses it and re-lays the field out, so the same one is not set again.
    const QString format = ToQtFormat(pattern);
    if (format == displayFormat()) {
        return;
    }
    // Changing the pattern must not move the value: the time of day the pattern hides is
    // still the picker's (new meetings take it).
    const QDateTime value = dateTime();
    const QSignalBlocker blocker(this);
    setDisplayFormat(format);
    setDateTime(value);
}
