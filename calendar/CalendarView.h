#pragma once

#include <QWidget>

class CCalendarPage;
class CDesktopServices;
class CMeetingStore;
class CMeetingCommands;

// The middle pane of the main window: it holds the calendar page and gives it all its room.
class CCalendarView : public QWidget {
    Q_OBJECT

public:
    CCalendarView(CMeetingStore& store, CDesktopServices& services, CMeetingCommands& commands,
                  QWidget* parent = nullptr);

    CCalendarPage& GetPage() { return *m_page; }

private:
    CCalendarPage* m_page = nullptr;
};
