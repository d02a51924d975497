#include "calendar/OpenTodoListCtrl.h"

#include "calendar/FoundListGeometry.h"
#include "calendar/TodoDone.h"
#include "store/ContentFiles.h"
#include "store/FileError.h"
#include "store/MeetingStore.h"
#include "store/TodoItem.h"
#include "ui/DesktopServices.h"
#include "ui/MessageBoxes.h"
#include "ui/PictureIds.h"
#include "ui/TextConversion.h"

#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <iterator>

namespace {

namespace Geometry = FoundListGeometry;
using Geometry::todoRowHeight;

// The todo page's pictures: low, medium, high priority, done, not done.
constexpr int notDonePicture = 4;

const QColor meetingColour(90, 90, 90);

} // namespace

COpenTodoListCtrl::COpenTodoListCtrl(CMeetingStore& store, CDesktopServices& services,
                                     QWidget* parent)
    : CPagedRowList(todoRowHeight, parent), m_store(store), m_services(services),
      m_pictures(LoadImageStrip(PictureId::todoRowStrip, Geometry::pictureSize)) {
    setAccessibleName(QStringLiteral("Open todos"));
}

void COpenTodoListCtrl::SetSource(Source source) {
    m_source = std::move(source);
}

void COpenTodoListCtrl::Fill(const CDateTime&) {
    Refresh();
}

void COpenTodoListCtrl::Refresh() {
    const int mark = GetSelectionMark();
    const std::size_t limit = std::max(pageSize, m_givenCount);
    m_rows.clear();
    m_lastGiven.reset();
    m_givenCount = 0;
    m_hasMore = false;
    m_format = CDateTimeFormat();
    Append(m_source ? m_source(nullptr, limit) : std::vector<COpenTodo>(), limit);
    SetSelectionMark(std::min(mark, GetRowCount() - 1));
}

void COpenTodoListCtrl::Append(std::vector<COpenTodo> given, std::size_t limit) {
    m_hasMore = !given.empty() && given.size() >= limit;
    m_givenCount += given.size();
    if (!given.empty()) {
        m_lastGiven = given.back();
    }
    // A meeting deleted since the index saw it has no todos to offer.
    const CMeetingMap& meetings = m_store.GetMap();
    std::erase_if(
        given, [&meetings](const COpenTodo& todo) { return !meetings.Contains(todo.meetingId); });
    m_rows.insert(m_rows.end(), std::make_move_iterator(given.begin()),
                  std::make_move_iterator(given.end()));
    UpdateScrollRange();
    // Rows too few to scroll (a page of todos of deleted meetings) cannot bring the last row
    // into view: the next page comes anyway.
    if (m_hasMore && verticalScrollBar()->maximum() == 0) {
        AskForMoreSoon();
    }
}

void COpenTodoListCtrl::LoadMore() {
    if (!m_hasMore || !m_source || !m_lastGiven) {
        return;
    }
    const COpenTodo after = *m_lastGiven;
    Append(m_source(&after, pageSize), pageSize);
}

COpenTodo COpenTodoListCtrl::GetTodo(int row) const {
    return IsItem(row) ? m_rows[static_cast<std::size_t>(row)] : COpenTodo();
}

COpenTodoListCtrl::CShownRow COpenTodoListCtrl::GetShownRow(int row) const {
    if (!IsItem(row)) {
        return {};
    }
    const COpenTodo& todo = m_rows[static_cast<std::size_t>(row)];
    QString text = ToShownText(todo.text);
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const CMeeting* meeting = m_store.GetMap().Find(todo.meetingId);
    if (meeting == nullptr) {
        return {text, QString()};
    }
    return {text, ToShownText(meeting->title) + QStringLiteral("  \u00b7  ") +
                      m_format.DateAndTime(meeting->date)};
}

void COpenTodoListCtrl::MarkDone(int row) {
    if (!IsItem(row)) {
        return;
    }
    const COpenTodo todo = GetTodo(row);
    TodoMarkResult result = TodoMarkResult::stale;
    try {
        result = MarkTodoDone(todo);
    } catch (const CFileError& error) {
        m_services.ReportError(FileErrorText(error), this);
        return;
    }
    switch (result) {
    case TodoMarkResult::marked: {
        // The index may have refilled the list while the file was written; if it has not (or
        // not yet), the todo goes from here. Its row is looked up again, never assumed.
        const auto same =
            std::find_if(m_rows.begin(), m_rows.end(), [&todo](const COpenTodo& shown) {
                return shown.meetingId == todo.meetingId && shown.position == todo.position &&
                       shown.text == todo.text;
            });
        if (same != m_rows.end()) {
            m_rows.erase(same);
            UpdateScrollRange();
        }
        SetSelectionMark(std::min(row, GetRowCount() - 1));
        break;
    }
    case TodoMarkResult::stale:
        Refresh();
        break;
    case TodoMarkResult::damaged: {
        const auto path =
            QString::fromStdString(ContentFilePath(ContentKind::todos, todo.meetingId).string());
        m_services.ReportError(
            QStringLiteral("%1\nThe todo file could not be read in full, so it is left as it is.")
                .arg(QDir::toNativeSeparators(path)),
            this);
        break;
    }
    }
}

QRect COpenTodoListCtrl::ItemRect(int row) const {
    return IsItem(row) ? Geometry::TodoRowLayout(row, viewport()->width()).bounds : QRect();
}

void COpenTodoListCtrl::PaintItem(QPainter& painter, int row, const QRect&) const {
    if (!IsItem(row)) {
        return;
    }
    const auto layout = Geometry::TodoRowLayout(row, viewport()->width());
    const COpenTodo& todo = m_rows[static_cast<std::size_t>(row)];
    const CShownRow shown = GetShownRow(row);

    painter.fillRect(layout.background,
                     row == GetSelectionMark() ? markedBackground : QColor(Qt::white));
    m_pictures.Draw(painter, layout.done.topLeft(), notDonePicture);
    // A priority other than medium or high is shown as low, as the preview words it.
    const bool known = todo.priority == CTodoItem::medium || todo.priority == CTodoItem::high;
    m_pictures.Draw(painter, layout.priority.topLeft(), known ? todo.priority : CTodoItem::low);
    painter.setFont(RowFont(font(), QFont::Normal));
    painter.setPen(Qt::black);
    DrawLine(painter, layout.text, shown.text);
    painter.setPen(meetingColour);
    DrawLine(painter, layout.meeting, shown.meeting);
    painter.setPen(QPen(separatorColour, 1));
    painter.drawLine(layout.separator);
}

void COpenTodoListCtrl::PaintEmpty(QPainter& painter) const {
    painter.setFont(RowFont(font(), QFont::Normal));
    painter.setPen(meetingColour);
    painter.drawText(viewport()->rect().adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("No open todos"));
}

void COpenTodoListCtrl::ActivateItem(int row) {
    if (IsItem(row)) {
        const COpenTodo& todo = m_rows[static_cast<std::size_t>(row)];
        emit todoPageRequested(todo.meetingId, todo.position);
    }
}

void COpenTodoListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        MarkDone(GetSelectionMark());
        return;
    }
    CListBase::keyPressEvent(event);
}

void COpenTodoListCtrl::mousePressEvent(QMouseEvent* event) {
    // The press marks the row first; a press on the done picture then marks the todo done.
    CListBase::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int row = ItemAtViewport(pos);
    if (IsItem(row) && Geometry::IsOnDonePicture(pos.x())) {
        MarkDone(row);
    }
}

void COpenTodoListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first click of a double click on the done picture took the todo off the list: the
    // second must not open the todo that moved up in its place.
    if (Geometry::IsOnDonePicture(event->position().toPoint().x())) {
        event->accept();
        return;
    }
    CListBase::mouseDoubleClickEvent(event);
}
