#pragma once

#include "editor/ContentPage.h"

class CAgendaListCtrl;
class QPlainTextEdit;

// The meeting's agenda: items with a time of day, always in order of time, added, changed
// and deleted through the agenda item dialog. The box under the list shows the marked item's
// whole text. The agenda file is written only when the page saves.
class CAgendaPage : public CContentPage {
    Q_OBJECT

public:
    CAgendaPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                QWidget* parent = nullptr);

    void Add() override;
    void Modify() override;

protected:
    void Load() override;

private:
    void ShowMarkedItem();

    CAgendaListCtrl* m_list = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
