#include "editor/MeetingIconDialog.h"

#include "editor/MeetingIconList.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CMeetingIconDialog::CMeetingIconDialog(int icon, QWidget* parent)
    : QDialog(parent), m_entryIcon(icon) {
    setObjectName(QStringLiteral("meetingIconDialog"));
    setWindowTitle(QStringLiteral("Select Meeting Icon"));
    auto* layout = new QVBoxLayout(this);
    m_list = new CMeetingIconList(this);
    // Nine icons to a row and four rows in view, with room for the frame.
    m_list->setMinimumSize(9 * CMeetingIconList::cellWidth + 8 +
                               m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                           4 * CMeetingIconList::cellHeight + 4);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_list->StartOn(icon);
    m_list->setFocus();
}

void CMeetingIconDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Scrolled once the list has its real size.
    if (!m_list->IsMarkShown()) {
        m_list->StartOn(m_entryIcon);
    }
}

int CMeetingIconDialog::GetIcon() const {
    const int mark = m_list->GetSelectionMark();
    return mark >= 0 ? mark : m_entryIcon;
}
