#include "calendar/MeetingDrag.h"

#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "ui/DesktopServices.h"
#include "ui/ImageStrip.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

namespace {

// The picture hangs below and right of the cursor, so the cursor's tip stays visible over the
// half hour or cell it points at.
const QPoint pictureOffset(8, 8);
constexpr int scrollInterval = 50; // milliseconds between scroll steps beyond the edge

} // namespace

CMeetingDrag::CMeetingDrag(QAbstractScrollArea& list) : QObject(&list), m_list(list) {
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setInterval(scrollInterval);
    connect(m_scrollTimer, &QTimer::timeout, this, &CMeetingDrag::ScrollBeyondEdge);
}

CMeetingDrag::~CMeetingDrag() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

void CMeetingDrag::Press(const std::string& id, const QPoint& pos) {
    Cancel();
    m_id = id;
    m_pressPos = pos;
    m_lastPos = pos;
}

bool CMeetingDrag::Move(const QPoint& pos, Qt::MouseButtons buttons) {
    if (!IsPressed()) {
        return false;
    }
    if (!(buttons & Qt::LeftButton)) {
        // The release went elsewhere (another window took the mouse): no drop.
        Cancel();
        return false;
    }
    m_lastPos = pos;
    if (!m_dragging) {
        if ((pos - m_pressPos).manhattanLength() < QApplication::startDragDistance()) {
            return true;
        }
        Begin();
    }
    Follow(pos);
    ScrollBeyondEdge();
    return true;
}

std::optional<std::string> CMeetingDrag::Release(const QPoint& pos) {
    const bool dropped = m_dragging && m_list.viewport()->rect().contains(pos);
    const std::string id = m_id;
    Cancel();
    if (!dropped) {
        return std::nullopt;
    }
    return id;
}

void CMeetingDrag::Cancel() {
    End();
    m_id.clear();
}

void CMeetingDrag::Begin() {
    m_dragging = true;
    QWidget* viewport = m_list.viewport();
    m_picture = new QLabel(viewport);
    m_picture->setObjectName(QStringLiteral("meetingDragPicture"));
    m_picture->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPixmap picture = LoadPicture(PictureId::dragPicture, viewport->devicePixelRatioF());
    m_picture->setPixmap(picture);
    m_picture->resize(PictureSize(PictureId::dragPicture));
    // Escape ends the drag wherever the focus is; the filter goes when the drag ends.
    qApp->installEventFilter(this);
}

void CMeetingDrag::End() {
    if (!m_dragging) {
        return;
    }
    m_dragging = false;
    m_scrollTimer->stop();
    qApp->removeEventFilter(this);
    delete m_picture;
    m_picture = nullptr;
    m_list.viewport()->update();
}

void CMeetingDrag::Follow(const QPoint& pos) {
    if (m_picture == nullptr) {
        return;
    }
    m_picture->move(pos + pictureOffset);
    m_picture->setVisible(m_list.viewport()->rect().contains(pos));
    m_picture->raise();
}

void CMeetingDrag::ScrollBeyondEdge() {
    if (!m_dragging) {
        m_scrollTimer->stop();
        return;
    }
    const QRect area = m_list.viewport()->rect();
    int step = 0;
    if (m_lastPos.y() < area.top()) {
        step = -scrollStep;
    } else if (m_lastPos.y() > area.bottom()) {
        step = scrollStep;
    }
    if (step == 0) {
        m_scrollTimer->stop();
        return;
    }
    QScrollBar* bar = m_list.verticalScrollBar();
    bar->setValue(bar->value() + step);
    // The list keeps scrolling while the cursor rests beyond its edge.
    if (!m_scrollTimer->isActive()) {
        m_scrollTimer->start();
    }
}

bool CMeetingDrag::eventFilter(QObject* watched, QEvent* event) {
    // A list hidden under the cursor (another calendar mode) ends the drag without a drop.
    if (m_dragging && watched == &m_list && event->type() == QEvent::Hide) {
        Cancel();
        return false;
    }
    if (m_dragging &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            if (event->type() == QEvent::ShortcutOverride) {
                // Keeps Escape from any shortcut, so that it arrives as a key press.
                event->accept();
                return true;
            }
            Cancel();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool WriteMovedMeeting(CMeetingStore& store, CDesktopServices& services, const std::string& id,
                       const CDateTime& when, QWidget* parent) {
    CMeeting record = store.GetMeeting(id);
    // A meeting removed meanwhile is not written back under an empty id.
    if (record.id.empty() || record.date == when) {
        return false;
    }
    record.date = when;
    try {
        store.ModifyMeeting(record);
    } catch (const CFileError& error) {
        services.ReportError(MoveErrorText(error.GetPath(), error.GetReason()), parent);
        return false;
    }
    return true;
}

QString MoveErrorText(const std::string& path, const std::string& reason) {
    return QStringLiteral("The file %1 could not be changed: %2.")
        .arg(QDir::toNativeSeparators(QString::fromStdString(path)),
             QString::fromStdString(reason));
}
