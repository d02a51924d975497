#pragma once

#include "editor/MeetingSheetPage.h"
#include "store/Meeting.h"

#include <QDateTime>

class CDateTimeField;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// The first page of the meeting sheet: the meeting's title, its reference (shown as "Meeting
// Id"), date and time to the minute, venue, who presided, notes and icon. Leaving it with
// Next in the wizard stores a blank title as "No Subject" and a padded one trimmed; OK of the
// tabs stores every text as typed.
class CMeetingDetailPage : public CMeetingSheetPage {
    Q_OBJECT

public:
    CMeetingDetailPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                       QWidget* parent = nullptr);

    QString Caption() const override;
    void Save(SaveReason reason) override;

    int GetIcon() const { return m_record.icon; }

    // The picker's pattern in the stored notation ("tt" for AM/PM) and as Qt writes it.
    static constexpr const char* datePattern = "dd MMM, yyyy  hh:mm tt";
    static QString QtDatePattern();

protected:
    void Load() override;

private:
    void ChooseIcon();
    void ShowIcon();
    // The fields as the record shows in them; a field still showing that keeps the record's
    // bytes (its CR LF line breaks, a text that is not UTF-8, a date to the bit).
    void RememberShown();
    CDateTime DateToStore() const;

    // The working copy of the record, id included.
    CMeeting m_record;
    struct CShown {
        QString title, reference, venue, presidedBy, notes;
        QDateTime date;
    } m_shown;

    QLineEdit* m_title = nullptr;
    QLineEdit* m_reference = nullptr;
    CDateTimeField* m_date = nullptr;
    QLineEdit* m_venue = nullptr;
    QLineEdit* m_presidedBy = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QToolButton* m_icon = nullptr;
};

// The title as Next of the wizard stores it: without white space at either end, and "No
// Subject" when nothing else is left.
QString CleanMeetingTitle(const QString& title);
