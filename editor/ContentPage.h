#pragma once

#include "editor/MeetingSheetPage.h"

#include <initializer_list>

class CContentListCtrl;
class QKeyEvent;
class QVBoxLayout;

// A page that shows one of the meeting's content files in a list with a column of command
// buttons beside it. The page reads the file the first time it is shown and writes it only
// when it saves, and only if it was read. Each page adds its own dialogs and widgets.
class CContentPage : public CMeetingSheetPage {
    Q_OBJECT

public:
    // The commands of the button column, in the order a page lists them.
    enum class Command { add, modify, remove, moveUp, moveDown };

    CContentPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                 QString caption, int titleId, int subtitleId, int askDeleteId,
                 QWidget* parent = nullptr);

    QString Caption() const override;
    int HeaderTitleId() const override;
    int HeaderSubtitleId() const override;
    void Save(SaveReason reason) override;

    // The buttons' commands. Del asks its question only while a row is marked.
    virtual void Add() = 0;
    virtual void Modify() = 0;
    virtual void Delete();

protected:
    // Up and Down: exposed by the pages whose list keeps the user's order.
    void MoveUp();
    void MoveDown();

    // Takes the page's list: names it, and routes its keys and its Enter or double click
    // (Mod) to the page.
    void SetContentList(CContentListCtrl* list, const QString& objectName);
    // The column of command buttons, top to bottom, with the stretch under them. A column
    // with Up also takes the list's move keys.
    QVBoxLayout* AddButtonColumn(std::initializer_list<Command> commands);
    // Asks the page's delete question and deletes the marked row on yes.
    void AskAndDelete();

    void Load() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The list's command keys; false for a key the page leaves to the list.
    bool HandleListKey(const QKeyEvent& key);

    const QString m_caption;
    const int m_titleId;
    const int m_subtitleId;
    const int m_askDeleteId;
    CContentListCtrl* m_contentList = nullptr;
    bool m_movable = false;
};
