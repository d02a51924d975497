#pragma once

#include "store/DateTime.h"
#include "ui/DateTimeField.h"

#include <QStringList>

class CDesktopServices;
class QFontMetrics;
class QLocale;

// The date picker in the toolbar: the date from which the calendar fills its lists. It starts
// on the services' "now".
class CToolbarDateCtrl : public CDateTimeField {
    Q_OBJECT

public:
    explicit CToolbarDateCtrl(CDesktopServices& services, QWidget* parent = nullptr);

    CDateTime GetDateTime() const;
    void SetDateTime(const CDateTime& value);

    // Takes a display pattern in the stored notation ("MMMM dd, yyyy"; "tt" for AM/PM).
    void SetFormat(const QString& pattern);

    static QString ToQtFormat(QString pattern);

    // The width that shows every date of `qtFormat` whole in `locale` (the longest month name,
    // wide digits) with `chrome` pixels of frame and button around the text; never narrower
    // than the 140 pixels the toolbar was laid out for.
    static int WidthFor(const QFontMetrics& metrics, const QLocale& locale, const QString& qtFormat,
                        int chrome);
    static constexpr int minimumWidth = 140;

protected:
    void changeEvent(QEvent* event) override;

signals:
    // The user changed the value (not a change made by the program).
    void pickedDateChanged();

private:
    void UpdateWidth();

    // Every pattern shown so far: the width fits the widest, so that the toolbar does not
    // shift when the calendar changes mode and with it the pattern.
    QStringList m_shownFormats;
};
