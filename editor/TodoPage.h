#pragma once

#include "editor/MeetingSheetPage.h"

class CTodoListCtrl;
class QPlainTextEdit;

// The meeting's todos: text, priority and done mark, sorted by a click on a column header and
// reordered by hand with Up and Down. The box under the list shows the marked todo's whole
// text. The todo file is written only when the page saves.
class CTodoPage : public CMeetingSheetPage {
    Q_OBJECT

public:
    CTodoPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
              QWidget* parent = nullptr);

    QString Caption() const override;
    int HeaderTitleId() const override;
    int HeaderSubtitleId() const override;
    void Save(SaveReason reason) override;

    // The buttons' commands. Del asks its question even when no todo is marked.
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
    void ShowMarkedItem();

    CTodoListCtrl* m_list = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
