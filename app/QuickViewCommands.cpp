#include "app/QuickViewCommands.h"

#include "app/RightListView.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"

void CQuickViewCommands::AddToQuickView(const std::string& id) {
    if (id.empty()) {
        return;
    }
    const CMeeting* pinned = m_quickView.Find(id);
    if (pinned != nullptr && !pinned->id.empty()) {
        return;
    }
    try {
        m_quickView.SetAt(id, m_store.GetMeeting(id));
        m_rightPane->AddShortcut(id);
    } catch (const CFileError& error) {
        ReportFileError(error);
    }
}

void CQuickViewCommands::RefreshQuickView() {
    for (const std::string& key : m_quickView.GetKeys()) {
        m_quickView.SetAt(key, m_store.GetMeeting(key));
    }
    m_rightPane->RebuildShortcuts();
}

void CQuickViewCommands::RemoveFromQuickView(const std::string& id) {
    if (m_quickView.IsEmpty()) {
        m_rightPane->RebuildShortcuts();
        return;
    }
    const CMeeting* pinned = m_quickView.Find(id);
    if (pinned == nullptr || pinned->id.empty()) {
        return;
    }
    m_quickView.RemoveKey(id);
    m_rightPane->RebuildShortcuts();
}

void CQuickViewCommands::ClearQuickView() {
    m_quickView.RemoveAll();
}

void CQuickViewCommands::ShowExportItem() {
    if (m_rightPane == nullptr) {
        return;
    }
    m_rightPane->SetExportItemShown(true);
    m_rightPane->ShowExportItem();
}

void CQuickViewCommands::HideExportItemIfShown() {
    if (!m_ready || m_rightPane == nullptr || !m_rightPane->IsExportItemShown()) {
        return;
    }
    m_rightPane->HideExportItem();
    m_rightPane->SetExportItemShown(false);
}
