#pragma once

#include "calendar/CalendarList.h"

#include <QWidget>

#include <string>

class CMeetingCommands;

// The place of the meeting preview (calendar mode 4): keeps the id of the meeting on show,
// which the Modify, Delete and export commands act on, and offers the quick view pane's
// "Export Meeting" item while a meeting is shown. It paints nothing yet.
class CPreviewPlace : public QWidget, public CCalendarList {
    Q_OBJECT

public:
    explicit CPreviewPlace(CMeetingCommands& commands, QWidget* parent = nullptr);

    // Shows the meeting `id` (the preview's own show operation).
    void ShowMeeting(const std::string& id);
    const std::string& GetMeetingId() const { return m_meetingId; }

    QWidget* GetWidget() override { return this; }
    // The preview is not bound to a date: both show the kept meeting again.
    void Fill(const CDateTime& date) override;
    void Refresh() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CMeetingCommands& m_commands;
    std::string m_meetingId;
};
