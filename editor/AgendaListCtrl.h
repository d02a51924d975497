#pragma once

#include "editor/ContentListCtrl.h"
#include "store/AgendaItem.h"

#include <vector>

// The agenda: one two-line row per item, its time in bold above its text, always in order of
// the time of day. Items of the same minute keep the order they had.
class CAgendaListCtrl : public CContentListCtrl {
    Q_OBJECT

public:
    explicit CAgendaListCtrl(std::string meetingId, QWidget* parent = nullptr);

    void Load() override;
    void Save() const override;

    const CAgendaItem& GetItem(int row) const;
    // The marked item, nullptr when no row is marked.
    const CAgendaItem* GetMarkedItem() const;

    // Adds an item at its place in time order; the mark stays on the row it was on.
    void Add(CAgendaItem item);
    // Replaces the marked item and moves it to its place in time order, the mark with it;
    // false when no row is marked.
    bool ModifyMarked(CAgendaItem item);

protected:
    int ItemCount() const override { return static_cast<int>(m_items.size()); }
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    void SwapRecords(int first, int second) override;
    void RemoveRecord(int row) override;

private:
    // Puts the items in time order, keeping the mark on its item.
    void SortByTime();

    std::vector<CAgendaItem> m_items;
};
