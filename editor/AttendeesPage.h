#pragma once

#include "editor/ContentPage.h"

class CAttendeeListCtrl;
class QLineEdit;

// The meeting's attendees: names typed into the box under the list and added with Add (or
// Enter in the box), edited in place in the list, moved with Up and Down. The attendees file
// is written only when the page saves.
class CAttendeesPage : public CContentPage {
    Q_OBJECT

public:
    CAttendeesPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                   QWidget* parent = nullptr);

    void Save(SaveReason reason) override;

    // The buttons' commands.
    void Add() override;
    void Modify() override;
    using CContentPage::MoveDown;
    using CContentPage::MoveUp;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CommitNameEdit();

    CAttendeeListCtrl* m_list = nullptr;
    QLineEdit* m_name = nullptr;
};
