#pragma once

#include <QDateTime>
#include <QWidget>

class CDateTimeField;
class QLineEdit;

// The one page of the quick add sheet: a title, the date and time, a venue.
class CQuickAddPage : public QWidget {
    Q_OBJECT

public:
    explicit CQuickAddPage(QWidget* parent = nullptr);

    void SetTitle(const QString& title);
    void SetDateTime(const QDateTime& value);
    void SetVenue(const QString& venue);

    QString GetTitle() const;
    QDateTime GetDateTime() const;
    QString GetVenue() const;

private:
    QLineEdit* m_title = nullptr;
    CDateTimeField* m_date = nullptr;
    QLineEdit* m_venue = nullptr;
};
