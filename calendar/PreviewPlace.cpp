#include "calendar/PreviewPlace.h"

#include "ui/FocusFrame.h"

#include "ui/MeetingCommands.h"

#include <QPainter>
#include <QPalette>

CPreviewPlace::CPreviewPlace(CMeetingCommands& commands, QWidget* parent)
    : QWidget(parent), m_commands(commands) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);
    // Like every calendar list it takes the focus, so that the keys meant for it reach it.
    setFocusPolicy(Qt::StrongFocus);
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

void CPreviewPlace::paintEvent(QPaintEvent*) {
    if (hasFocus()) {
        QPainter painter(this);
        DrawFocusFrame(painter, rect(), *this);
    }
}

void CPreviewPlace::focusInEvent(QFocusEvent*) {
    update();
}

void CPreviewPlace::focusOutEvent(QFocusEvent*) {
    update();
}
