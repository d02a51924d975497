#include "editor/MinutesListCtrl.h"

#include "editor/ContentListGeometry.h"
#include "store/ContentFiles.h"

#include <QPainter>

CMinutesListCtrl::CMinutesListCtrl(std::string meetingId, QWidget* parent)
    : CContentListCtrl(std::move(meetingId), PictureId::minutesRowPicture, 16, parent) {
    setObjectName(QStringLiteral("minutesList"));
}

void CMinutesListCtrl::Load() {
    m_minutes = ReadMinutesFile(GetMeetingId());
    SetSelectionMark(-1);
    RecordsChanged();
}

void CMinutesListCtrl::Save() const {
    WriteMinutesFile(GetMeetingId(), m_minutes);
}

const std::string& CMinutesListCtrl::GetItem(int row) const {
    return m_minutes.at(static_cast<std::size_t>(row));
}

const std::string* CMinutesListCtrl::GetMarkedItem() const {
    return IsItem(GetSelectionMark()) ? &GetItem(GetSelectionMark()) : nullptr;
}

void CMinutesListCtrl::Add(std::string text) {
    m_minutes.push_back(std::move(text));
    RecordsChanged();
}

bool CMinutesListCtrl::ModifyMarked(std::string text) {
    if (!IsItem(GetSelectionMark())) {
        return false;
    }
    m_minutes[static_cast<std::size_t>(GetSelectionMark())] = std::move(text);
    RecordsChanged();
    return true;
}

void CMinutesListCtrl::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    const QColor text = PaintRowBase(painter, row, rect, true);
    painter.setFont(RowFont(QFont::Normal));
    painter.setPen(text);
    DrawRowText(painter, ContentListGeometry::TextRect(rect, ContentListGeometry::minutesTextLeft),
                ToRowText(GetItem(row)));
}

void CMinutesListCtrl::SwapRecords(int first, int second) {
    std::swap(m_minutes.at(static_cast<std::size_t>(first)),
              m_minutes.at(static_cast<std::size_t>(second)));
}

void CMinutesListCtrl::RemoveRecord(int row) {
    m_minutes.erase(m_minutes.begin() + row);
}
