#pragma once

#include "editor/MeetingSheetPage.h"

class CMinutesListCtrl;

// The meeting's minutes: free texts in the order the user sets, added and changed through
// the minute dialog, moved with Up and Down. The minutes file is written only when the page
// saves.
class CKesPage : public CMeetingSheetPage {
    Q_OBJECT

public:
    CKesPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
             QWidget* parent = nullptr);

    QString Caption() const override;
    int HeaderTitleId() const override;
    int HeaderSubtitleId() const override;
    void Save(SaveReason reason) override;

    // The buttons' commands.
    void Add();
    void Modify();
    void Delete();
    void MoveUp();
    void MoveDown();

protected:
    void Load() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CMinutesListCtrl* m_list = nullptr;
};
