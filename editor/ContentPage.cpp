#include "editor/ContentPage.h"

#include "editor/ContentListCtrl.h"
#include "editor/ContentListKeys.h"
#include "editor/PageButtons.h"
#include "ui/DesktopServices.h"

#include <QKeyEvent>

CContentPage::CContentPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                           QString caption, int titleId, int subtitleId, int askDeleteId,
                           QWidget* parent)
    : CMeetingSheetPage(store, services, std::move(meetingId), parent),
      m_caption(std::move(caption)), m_titleId(titleId), m_subtitleId(subtitleId),
      m_askDeleteId(askDeleteId) {}

QString CContentPage::Caption() const {
    return m_caption;
}

int CContentPage::HeaderTitleId() const {
    return m_titleId;
}

int CContentPage::HeaderSubtitleId() const {
    return m_subtitleId;
}

void CContentPage::SetContentList(CContentListCtrl* list, const QString& objectName) {
    m_contentList = list;
    list->setObjectName(objectName);
    list->installEventFilter(this);
    // Enter or a double click on a row is Mod.
    connect(list, &CContentListCtrl::ModifyRequested, this, &CContentPage::Modify);
}

QVBoxLayout* CContentPage::AddButtonColumn(std::initializer_list<Command> commands) {
    auto* buttons = new QVBoxLayout;
    for (Command command : commands) {
        switch (command) {
        case Command::add:
            connect(AddPageButton(*buttons, QStringLiteral("&Add"), "addButton"),
                    &QPushButton::clicked, this, &CContentPage::Add);
            break;
        case Command::modify:
            connect(AddPageButton(*buttons, QStringLiteral("&Mod"), "modButton"),
                    &QPushButton::clicked, this, &CContentPage::Modify);
            break;
        case Command::remove:
            connect(AddPageButton(*buttons, QStringLiteral("&Del"), "delButton"),
                    &QPushButton::clicked, this, &CContentPage::Delete);
            break;
        case Command::moveUp:
            m_movable = true;
            connect(AddPageButton(*buttons, QStringLiteral("&Up"), "upButton"),
                    &QPushButton::clicked, this, &CContentPage::MoveUp);
            break;
        case Command::moveDown:
            connect(AddPageButton(*buttons, QStringLiteral("D&own"), "downButton"),
                    &QPushButton::clicked, this, &CContentPage::MoveDown);
            break;
        }
    }
    buttons->addStretch(1);
    return buttons;
}

void CContentPage::Load() {
    m_contentList->Load();
}

// Wherever the page is shown first (a tab, a wizard step), it reads its file then.
void CContentPage::showEvent(QShowEvent* event) {
    EnsureLoaded();
    CMeetingSheetPage::showEvent(event);
}

void CContentPage::Save(SaveReason) {
    // A page never loaded holds nothing of the file: writing it would empty the file.
    if (!IsLoaded()) {
        return;
    }
    m_contentList->Save();
}

void CContentPage::Delete() {
    if (m_contentList->GetSelectionMark() < 0) {
        return;
    }
    AskAndDelete();
}

void CContentPage::AskAndDelete() {
    if (m_services.Ask(m_askDeleteId, this)) {
        m_contentList->DeleteMarked();
    }
}

void CContentPage::MoveUp() {
    m_contentList->MoveUp();
}

void CContentPage::MoveDown() {
    m_contentList->MoveDown();
}

bool CContentPage::HandleListKey(const QKeyEvent& key) {
    switch (ContentListKeyOf(key.key(), key.modifiers())) {
    case ContentListKey::remove:
        Delete();
        return true;
    case ContentListKey::modify:
        Modify();
        return true;
    case ContentListKey::moveUp:
        if (m_movable) {
            MoveUp();
        }
        return m_movable;
    case ContentListKey::moveDown:
        if (m_movable) {
            MoveDown();
        }
        return m_movable;
    case ContentListKey::none:
        break;
    }
    return false;
}

bool CContentPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_contentList && event->type() == QEvent::KeyPress &&
        HandleListKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return CMeetingSheetPage::eventFilter(watched, event);
}
