#pragma once

#include "editor/MeetingSheetPage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CDesktopServices;
class CMeetingStore;
class QDialog;
class QTabWidget;
class QWizard;

// Makes one page of the sheet for a meeting; the sheet owns what it returns.
using MeetingPageMaker = std::function<CMeetingSheetPage*(
    CMeetingStore& store, CDesktopServices& services, const std::string& meetingId)>;

// The editor of one meeting: its pages in a fixed order, either as a wizard that walks a new
// meeting page by page (Back, Next, Finish over a watermark and a header band) or as tabs with
// OK and Cancel for a stored one. The sheet reads and writes nothing itself: each page loads
// when first shown and saves when the user moves on, finishes or accepts. A page that cannot
// save is reported, naming the file, and the sheet stays on it with everything typed.
class CMeetingSheet {
public:
    enum class Mode { add, modify };
    enum class Result { finished, saved, cancelled };

    CMeetingSheet(Mode mode, CMeetingStore& store, CDesktopServices& services,
                  std::string meetingId, const std::vector<MeetingPageMaker>& pages,
                  QWidget* parent = nullptr);
    ~CMeetingSheet();
    CMeetingSheet(const CMeetingSheet&) = delete;
    CMeetingSheet& operator=(const CMeetingSheet&) = delete;

    // Runs the sheet modally through the services: finished (the wizard's Finish), saved (OK
    // of the tabs) or cancelled.
    Result Run();

    // The window the sheet runs in: the wizard ("meetingWizard") or the tabbed dialog
    // ("modifyMeetingSheet").
    QDialog& GetDialog() const { return *m_dialog; }
    Mode GetMode() const { return m_mode; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CMeetingSheetPage& GetPage(int index) const { return *m_pages.at(index); }
    // The tabbed sheet opens on page `index` (which loads it) instead of the first; the
    // wizard always starts at its first page.
    void OpenOnPage(int index);

private:
    void BuildWizard(QWidget* parent);
    void BuildTabs(QWidget* parent);

    const Mode m_mode;
    CDesktopServices& m_services;
    std::unique_ptr<QDialog> m_dialog;
    // Owned by the dialog's widget tree.
    std::vector<CMeetingSheetPage*> m_pages;
};

// Saves one page; a file that cannot be written is reported (file and reason) and false
// returned, with the page as it was.
bool SaveMeetingPage(CMeetingSheetPage& page, CMeetingSheetPage::SaveReason reason,
                     CDesktopServices& services, QWidget* parent);
