#include "app/ToolbarDateCtrl.h"

#include "ui/DateTimeConversion.h"
#include "ui/DesktopServices.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLocale>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

CToolbarDateCtrl::CToolbarDateCtrl(CDesktopServices& services, QWidget* parent)
    : CDateTimeField(parent) {
    setObjectName(QStringLiteral("datePicker"));
    setCalendarPopup(true);
    UpdateWidth();
    setKeyboardTracking(false);
    SetDateTime(services.Now());
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
    if (!m_shownFormats.contains(displayFormat())) {
        m_shownFormats.append(displayFormat());
    }
    UpdateWidth();
}

int CToolbarDateCtrl::WidthFor(const QFontMetrics& metrics, const QLocale& locale,
                               const QString& qtFormat, int chrome) {
    // Every month at a two-digit day, a four-digit year and a late time: the widest texts the
    // pattern can give, whichever fields it shows.
    int text = 0;
    for (int month = 1; month <= 12; ++month) {
        const QDateTime sample(QDate(2888, month, 28), QTime(22, 58, 58));
        text = std::max(text, metrics.horizontalAdvance(locale.toString(sample, qtFormat)));
    }
    return std::max(minimumWidth, text + chrome);
}

void CToolbarDateCtrl::changeEvent(QEvent* event) {
    QDateTimeEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::LocaleChange:
    case QEvent::StyleChange:
        UpdateWidth();
        break;
    default:
        break;
    }
}

void CToolbarDateCtrl::UpdateWidth() {
    // The frame, the drop-down button and the edit's own margins, as the style adds them
    // around a text; a space and the cursor's room as the edit keeps them.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    constexpr int probe = 100;
    const QSize around = style()->sizeFromContents(QStyle::CT_SpinBox, &option,
                                                   QSize(probe, metrics.height()), this);
    const int chrome = around.width() - probe + metrics.horizontalAdvance(QLatin1Char(' ')) + 2;
    int width = WidthFor(metrics, locale(), displayFormat(), chrome);
    for (const QString& format : m_shownFormats) {
        width = std::max(width, WidthFor(metrics, locale(), format, chrome));
    }
    setFixedWidth(width);
}
