#pragma once

#include "store/DateTime.h"

#include <QObject>
#include <QPoint>

#include <optional>
#include <string>

class CDesktopServices;
class CMeetingStore;
class QAbstractScrollArea;
class QLabel;
class QTimer;

// Moving a meeting by dragging its picture inside a calendar list. The list hands over its
// viewport's mouse events; this class tells a click from a drag, shows the drag picture under
// the cursor while it is over the list, scrolls the list while the cursor is above or below
// it, cancels on Escape, and tells the list where the meeting was dropped. Where that puts
// the meeting is the list's own rule.
class CMeetingDrag : public QObject {
    Q_OBJECT

public:
    // `list` scrolls during the drag; the picture is shown on its viewport.
    explicit CMeetingDrag(QAbstractScrollArea& list);
    ~CMeetingDrag() override;

    // A left press on the picture of meeting `id`, at a viewport point. Nothing moves until
    // the cursor has travelled the platform's drag distance with the button held.
    void Press(const std::string& id, const QPoint& pos);
    // A mouse move over (or, while the button is held, beyond) the viewport. True when the
    // move belongs to a press or drag, so the list does nothing else with it.
    bool Move(const QPoint& pos, Qt::MouseButtons buttons);
    // A left release. The meeting id when a drag ends with the cursor over the viewport; the
    // drop point is the release point. Nothing for a plain click or a drop outside.
    std::optional<std::string> Release(const QPoint& pos);
    // Ends a press or drag without a drop.
    void Cancel();

    bool IsPressed() const { return !m_id.empty(); }
    bool IsDragging() const { return m_dragging; }
    const std::string& GetMeetingId() const { return m_id; }
    // The drag picture, while a drag is under way (null otherwise); visible only over the list.
    const QLabel* GetPicture() const { return m_picture; }

    // Pixels the list scrolls for each move (and each timer tick) beyond its top or bottom.
    static constexpr int scrollStep = 10;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Begin();
    void End();
    void Follow(const QPoint& pos);
    void ScrollBeyondEdge();

    QAbstractScrollArea& m_list;
    std::string m_id;
    QPoint m_pressPos;
    QPoint m_lastPos;
    bool m_dragging = false;
    QLabel* m_picture = nullptr;
    QTimer* m_scrollTimer = nullptr;
};

// Gives meeting `id` the date `when` and writes it through the store. A file that cannot be
// written is reported through the services, naming the file and the reason, and nothing
// changes. True when the meeting was written.
bool WriteMovedMeeting(CMeetingStore& store, CDesktopServices& services, const std::string& id,
                       const CDateTime& when, QWidget* parent);

// The text that reports a meeting file that could not be changed.
QString MoveErrorText(const std::string& path, const std::string& reason);
