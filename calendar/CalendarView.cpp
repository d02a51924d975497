#include "calendar/CalendarView.h"

#include "calendar/CalendarPage.h"

#include <QVBoxLayout>

CCalendarView::CCalendarView(CMeetingStore& store, CDesktopServices& services,
                             CMeetingCommands& commands, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("calendarView"));
    m_page = new CCalendarPage(store, services, commands, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_page);
}
