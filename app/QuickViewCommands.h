#pragma once

#include "app/FrameRoom.h"
#include "store/MeetingMap.h"

#include <string>

// The quick view pane's commands: the pinned meetings (kept in the settings between runs),
// pinning and unpinning one, and the pane's Export item while a preview is on show.
class CQuickViewCommands : public CFrameRoom {
public:
    explicit CQuickViewCommands(CFrameParts& parts) : CFrameRoom(parts) {}

    // Pins the stored meeting `id`; a meeting pinned already stays where it is.
    void AddToQuickView(const std::string& id);
    // The pinned meetings read again from the store, after a meeting changed.
    void RefreshQuickView();
    void RemoveFromQuickView(const std::string& id);
    void ClearQuickView();
    void ShowExportItem();
    void HideExportItemIfShown();

    CMeetingMap& GetQuickView() { return m_quickView; }
    const CMeetingMap& GetQuickView() const { return m_quickView; }

private:
    CMeetingMap m_quickView;
};
