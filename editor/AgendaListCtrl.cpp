#include "editor/AgendaListCtrl.h"

#include "editor/ContentListGeometry.h"
#include "store/ContentFiles.h"
#include "ui/Formatting.h"

#include <QPainter>

#include <algorithm>

namespace {

// Only the hour and the minute order the agenda; the date and the seconds are ignored.
int MinuteOfDay(const CAgendaItem& item) {
    const CDateTime::Parts parts = item.time.GetParts();
    return parts.hour * 60 + parts.minute;
}

} // namespace

CAgendaListCtrl::CAgendaListCtrl(std::string meetingId, QWidget* parent)
    : CContentListCtrl(std::move(meetingId), PictureId::agendaRowPicture, 32, parent) {
    setObjectName(QStringLiteral("agendaList"));
    // Two lines, the time in bold above the text.
    using ContentListGeometry::LineHeight;
    const int line = std::max(LineHeight(RowFont(QFont::Bold)), LineHeight(RowFont(QFont::Normal)));
    SetRowHeight(ContentListGeometry::RowHeight(RowImages().GetImageSize().height(), line, 2));
}

void CAgendaListCtrl::Load() {
    m_items = ReadAgendaFile(GetMeetingId());
    SetSelectionMark(-1);
    SortByTime();
    RecordsChanged();
}

void CAgendaListCtrl::Save() const {
    WriteAgendaFile(GetMeetingId(), m_items);
}

const CAgendaItem& CAgendaListCtrl::GetItem(int row) const {
    return m_items.at(static_cast<std::size_t>(row));
}

const CAgendaItem* CAgendaListCtrl::GetMarkedItem() const {
    return IsItem(GetSelectionMark()) ? &GetItem(GetSelectionMark()) : nullptr;
}

void CAgendaListCtrl::Add(CAgendaItem item) {
    m_items.push_back(std::move(item));
    SortByTime();
    RecordsChanged();
}

bool CAgendaListCtrl::ModifyMarked(CAgendaItem item) {
    if (!IsItem(GetSelectionMark())) {
        return false;
    }
    m_items[static_cast<std::size_t>(GetSelectionMark())] = std::move(item);
    SortByTime();
    RecordsChanged();
    return true;
}

void CAgendaListCtrl::SortByTime() {
    std::vector<int> order(m_items.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return MinuteOfDay(m_items[static_cast<std::size_t>(a)]) <
               MinuteOfDay(m_items[static_cast<std::size_t>(b)]);
    });
    std::vector<CAgendaItem> sorted;
    sorted.reserve(m_items.size());
    int mark = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == GetSelectionMark()) {
            mark = static_cast<int>(i);
        }
        sorted.push_back(std::move(m_items[static_cast<std::size_t>(order[i])]));
    }
    m_items = std::move(sorted);
    SetSelectionMark(mark);
}

void CAgendaListCtrl::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    const CAgendaItem& item = GetItem(row);
    const QColor text = PaintRowBase(painter, row, rect, true);
    painter.setPen(text);
    painter.setFont(RowFont(QFont::Bold));
    DrawRowText(painter, ContentListGeometry::AgendaTimeRect(rect), FormatTime(item.time));
    painter.setFont(RowFont(QFont::Normal));
    DrawRowText(painter, ContentListGeometry::AgendaTextRect(rect), ToRowText(item.text));
}

void CAgendaListCtrl::SwapRecords(int first, int second) {
    std::swap(m_items.at(static_cast<std::size_t>(first)),
              m_items.at(static_cast<std::size_t>(second)));
}

void CAgendaListCtrl::RemoveRecord(int row) {
    m_items.erase(m_items.begin() + row);
}
