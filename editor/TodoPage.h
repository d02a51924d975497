#pragma once

#include "editor/ContentPage.h"

class CTodoListCtrl;
class QPlainTextEdit;

// The meeting's todos: text, priority and done mark, sorted by a click on a column header and
// reordered by hand with Up and Down. The box under the list shows the marked todo's whole
// text. The todo file is written only when the page saves.
class CTodoPage : public CContentPage {
    Q_OBJECT

public:
    CTodoPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
              QWidget* parent = nullptr);

    // The buttons' commands. Del asks its question even when no todo is marked.
    void Add() override;
    void Modify() override;
    void Delete() override;
    using CContentPage::MoveDown;
    using CContentPage::MoveUp;
    // Loads the page if need be and marks the todo at `position` of the file, the order the
    // list loads in; nothing for a position the file does not hold.
    void MarkTodo(std::size_t position);

protected:
    void Load() override;

private:
    void ShowMarkedItem();

    CTodoListCtrl* m_list = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
