#pragma once

#include "store/Meeting.h"

#include <QDialog>

class CDesktopServices;
class CMeetingStore;
class CQuickAddPage;

// "Quickly Add a Meeting": a new meeting from a title, a date and a venue alone, without the
// meeting sheet. Its lists stay empty until the meeting is modified.
class CQuickSheet : public QDialog {
    Q_OBJECT

public:
    // The meeting starts on the services' "now", with every text empty.
    CQuickSheet(CMeetingStore& store, CDesktopServices& services, QWidget* parent = nullptr);

    // Runs the sheet; on OK stores the meeting (CFileError when its file cannot be written).
    // Returns the sheet's result.
    int Run();

    const CMeeting& GetRecord() const { return m_record; }
    CQuickAddPage& GetPage() const { return *m_page; }

private:
    CMeetingStore& m_store;
    CDesktopServices& m_services;
    CMeeting m_record;
    CQuickAddPage* m_page = nullptr;
};
