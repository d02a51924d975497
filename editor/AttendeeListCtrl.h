#pragma once

#include "editor/ContentListCtrl.h"

#include <string>
#include <vector>

class QLineEdit;

// The attendees: one name per row, in the order the user sets. A name is edited in place:
// Mod (EditMarked), F2, or a click on the name of the marked row opens an editor over it;
// Enter or leaving the editor keeps the new name unless it is blank, Escape keeps the old.
class CAttendeeListCtrl : public CContentListCtrl {
    Q_OBJECT

public:
    explicit CAttendeeListCtrl(std::string meetingId, QWidget* parent = nullptr);

    void Load() override;
    void Save() const override;

    const std::string& GetItem(int row) const;

    // Appends a name exactly as typed; an empty name (no characters) is refused.
    bool Add(std::string name);
    // Opens the in-place editor on the marked row's name; false without a mark.
    bool EditMarked();
    bool IsEditing() const;
    // The rule of the in-place editor: the name as typed, unless it is blank.
    bool Rename(int row, const QString& typed);

    using CContentListCtrl::MoveDown;
    using CContentListCtrl::MoveUp;

protected:
    int ItemCount() const override { return static_cast<int>(m_names.size()); }
    void PaintItem(QPainter& painter, int row, const QRect& rect) const override;
    void SwapRecords(int first, int second) override;
    void RemoveRecord(int row) override;
    void PressItem(int row) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FinishEditing(bool keep);

    std::vector<std::string> m_names;
    QLineEdit* m_editor = nullptr;
    int m_editRow = -1;
};
