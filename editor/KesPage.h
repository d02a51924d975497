#pragma once

#include "editor/ContentPage.h"

class CMinutesListCtrl;

// The meeting's minutes: free texts in the order the user sets, added and changed through
// the minute dialog, moved with Up and Down. The minutes file is written only when the page
// saves.
class CKesPage : public CContentPage {
    Q_OBJECT

public:
    CKesPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
             QWidget* parent = nullptr);

    void Add() override;
    void Modify() override;
    using CContentPage::MoveDown;
    using CContentPage::MoveUp;

private:
    CMinutesListCtrl* m_list = nullptr;
};
