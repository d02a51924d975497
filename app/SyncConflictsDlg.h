#pragma once

#include "sync/SyncSummary.h"

#include <QDialog>

#include <string>
#include <vector>

class CMeetingStore;

// The meetings the last syncs kept twice: for each conflict the version that stayed here and
// the server's version, kept as a meeting of its own, with their titles and dates and an
// Open button each. Open closes the list and names the meeting to open.
class CSyncConflictsDlg : public QDialog {
public:
    CSyncConflictsDlg(const std::vector<CSyncConflict>& conflicts, const CMeetingStore& store,
                      QWidget* parent = nullptr);

    // The meeting whose Open was pressed; empty when the list was closed.
    const std::string& ChosenMeeting() const { return m_chosen; }

private:
    void AddRow(const std::string& id, const QString& title, const QString& date,
                const QString& which);

    class QTreeWidget* m_list = nullptr;
    std::string m_chosen;
};
