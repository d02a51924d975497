#pragma once

#include "editor/MeetingSheetPage.h"

class CAttendeeListCtrl;
class QLineEdit;

// The meeting's attendees: names typed into the box under the list and added with Add (or
// Enter in the box), edited in place in the list, moved with Up and Down. The attendees file
// is written only when the page saves.
class CAttendeesPage : public CMeetingSheetPage {
    Q_OBJECT

public:
    CAttendeesPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
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
    void CommitNameEdit();

    CAttendeeListCtrl* m_list = nullptr;
    QLineEdit* m_name = nullptr;
};
