#include "editor/KesPage.h"

#include "editor/LineBreaks.h"
#include "editor/MinuteDialog.h"
#include "editor/MinutesListCtrl.h"
#include "ui/DesktopServices.h"
#include "ui/TextConversion.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int titleId = 61449;
constexpr int subtitleId = 61450;
constexpr int askDeleteId = 61461;

} // namespace

CKesPage::CKesPage(CMeetingStore& store, CDesktopServices& services, std::string meetingId,
                   QWidget* parent)
    : CContentPage(store, services, meetingId, QStringLiteral("Minutes"), titleId, subtitleId,
                   askDeleteId, parent) {
    setObjectName(QStringLiteral("minutesPage"));
    m_list = new CMinutesListCtrl(meetingId, this);
    SetContentList(m_list, QStringLiteral("minutesList"));

    auto* buttons = AddButtonColumn(
        {Command::add, Command::modify, Command::remove, Command::moveUp, Command::moveDown});

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
}

void CKesPage::Add() {
    CMinuteDialog dialog(this);
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        m_list->Add(FromQString(dialog.GetText()));
    }
}

void CKesPage::Modify() {
    const std::string* marked = m_list->GetMarkedItem();
    if (!marked) {
        return;
    }
    CMinuteDialog dialog(this);
    dialog.SetText(ToQString(*marked));
    const QString shownText = dialog.GetText();
    if (m_services.RunDialog(dialog) == QDialog::Accepted) {
        m_list->ModifyMarked(KeptOrTyped(dialog.GetText(), shownText, *marked));
    }
}
