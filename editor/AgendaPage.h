#pragma once

#include "editor/MeetingSheetPage.h"

class CAgendaListCtrl;
class QPlainTextEdit;

// The meeting's agenda: items with a time of day, always in order of time, added, changed
// and deleted through the agenda item dialog. The box under the list shows the marked item's
// whole text. The agenda file is written only when the page saves.
class CAgendaPage : public CMeetingSheetPage {
    Q_OBJECT

public:
    CAgendaPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                QWidget* parent = nullptr);

    QString Caption() const override;
    int HeaderTitleId() const override;
    int HeaderSubtitleId() const override;
    void Save(SaveReason reason) override;

    // The buttons' commands.
    void Add();
    void Modify();
    void Delete();

protected:
    void Load() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMarkedItem();

    CAgendaListCtrl* m_list = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
