#pragma once

#include "editor/ContentListCtrl.h"

#include <string>
#include <vector>

// The minutes: one free text per row, in the order the user sets with Up and Down.
class CMinutesListCtrl : public CContentListCtrl {
    Q_OBJECT

public:
    explicit CMinutesListCtrl(std::string meetingId, QWidget* parent = nullptr);

    void Load() override;
    void Save() const override;

    const std::string& GetItem(int row) const;
    // The marked minute, nullptr when no row is marked.
    const std::string* GetMarkedItem() const;

    // Appends a minute as the last row.
    void Add(std::string text);
    // Replaces the marked minute's text; false when no row is marked.
    bool ModifyMarked(std::string text);

    using CContentListCtrl::MoveDown;
    using CContentListCtrl::MoveUp;

protected:
    int ItemCount() const override { return static_cast<int>(m_minutes.size()); }
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    void SwapRecords(int first, int second) override;
    void RemoveRecord(int row) override;

private:
    std::vector<std::string> m_minutes;
};
