#pragma once

#include "store/DateTime.h"

#include <QDateTimeEdit>

// The date picker in the toolbar: the date from which the calendar fills its lists.
class CToolbarDateCtrl : public QDateTimeEdit {
    Q_OBJECT

public:
    explicit CToolbarDateCtrl(QWidget* parent = nullptr);

    CDateTime GetDateTime() const;
    void SetDateTime(const CDateTime& value);

    // Takes a display pattern in the stored notation ("MMMM dd, yyyy"; "tt" for AM/PM).
    void SetFormat(const QString& pattern);

    static QString ToQtFormat(QString pattern);

signals:
    // The user changed the value (not a change made by the program).
    void pickedDateChanged();
};
