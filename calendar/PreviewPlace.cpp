#include "calendar/PreviewPlace.h"

#include "app/MeetingCommands.h"

#include <QPalette>

CPreviewPlace::CPreviewPlace(CMeetingCommands& commands, QWidget* parent)
    : QWidget(parent), m_commands(commands) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
}

void CPreviewPlace::ShowMeeting(const std::string& id) {
    m_meetingId = id;
    m_commands.ShowExportItem();
    update();
}

void CPreviewPlace::Fill(const CDateTime&) {
    Refresh();
}

void CPreviewPlace::Refresh() {
    ShowMeeting(m_meetingId);
}
