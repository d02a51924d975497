#include "calendar/SearchResultsCtrl.h"

#include "calendar/FoundListGeometry.h"
#include "calendar/SearchSnippet.h"
#include "store/MeetingStore.h"
#include "ui/MeetingCommands.h"
#include "ui/PictureIds.h"
#include "ui/TextConversion.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

namespace Geometry = FoundListGeometry;
using Geometry::searchRowHeight;

const QColor titleColour(61, 110, 196);
const QColor detailColour(90, 90, 90);
const QColor matchBackground(255, 236, 153);

// The passage run by run, the matched words bold on a highlight, cut off with an ellipsis
// where the row ends.
void DrawSnippet(QPainter& painter, const QRect& rect, const std::vector<CSnippetRun>& runs,
                 const QFont& plain) {
    QFont bold = plain;
    bold.setWeight(QFont::Bold);
    int x = rect.left();
    const int right = rect.right() + 1;
    for (const CSnippetRun& run : runs) {
        if (x >= right) {
            break;
        }
        painter.setFont(run.marked ? bold : plain);
        const QFontMetrics metrics = painter.fontMetrics();
        QString text = run.text;
        int width = metrics.horizontalAdvance(text);
        if (x + width > right) {
            text = metrics.elidedText(text, Qt::ElideRight, right - x);
            width = metrics.horizontalAdvance(text);
        }
        const QRect box(x, rect.top(), width, rect.height());
        if (run.marked) {
            painter.fillRect(box.adjusted(-1, 1, 1, -1), matchBackground);
        }
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        x += width;
    }
}

QString Unmarked(const std::vector<CSnippetRun>& runs) {
    QString text;
    for (const CSnippetRun& run : runs) {
        text += run.text;
    }
    return text;
}

} // namespace

CSearchResultsCtrl::CSearchResultsCtrl(CMeetingStore& store, CMeetingCommands& commands,
                                       QWidget* parent)
    : CPagedRowList(searchRowHeight, parent), m_store(store), m_commands(commands),
      m_icons(LoadImageStrip(PictureId::meetingIconStrip, Geometry::iconWidth)) {
    setAccessibleName(QStringLiteral("Search results"));
}

void CSearchResultsCtrl::SetSource(Source source) {
    m_source = std::move(source);
}

void CSearchResultsCtrl::Search(const QString& words) {
    m_words = words;
    m_limit = pageSize;
    m_fromTop = true;
    if (Query()) {
        ShowFromTop();
    }
}

void CSearchResultsCtrl::ShowFromTop() {
    m_fromTop = false;
    verticalScrollBar()->setValue(0);
    SetSelectionMark(m_rows.empty() ? -1 : 0);
}

void CSearchResultsCtrl::Fill(const CDateTime&) {
    Refresh();
}

void CSearchResultsCtrl::Refresh() {
    if (m_fromTop) {
        if (Query()) {
            ShowFromTop();
        }
        return;
    }
    const int oldMark = GetSelectionMark();
    const std::string marked = GetMarkedMeetingId();
    const int scroll = verticalScrollBar()->value();
    if (!Query()) {
        return; // the rows, the mark and the place stay until the answer comes
    }
    // The mark stays on its meeting: on its row when that still shows it (a further page came
    // below), else wherever the meeting went.
    int mark = GetMeetingId(oldMark) == marked && !marked.empty() ? oldMark : -1;
    for (int row = 0; row < GetRowCount() && mark < 0 && !marked.empty(); ++row) {
        if (m_rows[static_cast<std::size_t>(row)].id == marked) {
            mark = row;
            break;
        }
    }
    verticalScrollBar()->setValue(scroll);
    SetSelectionMark(mark);
}

bool CSearchResultsCtrl::Query() {
    const std::string words = m_words.trimmed().toStdString();
    std::optional<std::vector<CSearchHit>> hits;
    if (m_source && !words.empty()) {
        hits = m_source(words, m_limit);
        m_pending = !hits;
        if (m_pending) {
            viewport()->update();
            return false;
        }
    }
    m_pending = false;
    m_rows.clear();
    m_hasMore = false;
    if (hits) {
        m_hasMore = hits->size() >= m_limit;
        m_rows.reserve(hits->size());
        for (CSearchHit& hit : *hits) {
            // A meeting deleted since the index saw it is not offered.
            const CMeeting* meeting = m_store.GetMap().Find(hit.meetingId);
            if (meeting == nullptr) {
                continue;
            }
            m_rows.push_back({std::move(hit.meetingId), meeting->title, meeting->venue,
                              meeting->date, meeting->icon, std::move(hit.snippet)});
        }
    }
    m_format = CDateTimeFormat();
    UpdateScrollRange();
    return true;
}

void CSearchResultsCtrl::LoadMore() {
    if (!m_hasMore || m_pending) {
        return;
    }
    m_limit += pageSize;
    Refresh();
}

std::string CSearchResultsCtrl::GetMeetingId(int row) const {
    if (row < 0 || row >= GetRowCount()) {
        return {};
    }
    return m_rows[static_cast<std::size_t>(row)].id;
}

CSearchResultsCtrl::CShownRow CSearchResultsCtrl::GetShownRow(int row) const {
    if (row < 0 || row >= GetRowCount()) {
        return {};
    }
    const CRow& found = m_rows[static_cast<std::size_t>(row)];
    QString details = m_format.DateAndTime(found.date);
    const QString venue = ToShownText(found.venue);
    if (!venue.isEmpty()) {
        details += QStringLiteral("  \u00b7  ") + venue;
    }
    return {ToShownText(found.title), details, Unmarked(SnippetRuns(found.snippet))};
}

QRect CSearchResultsCtrl::ItemRect(int row) const {
    return IsItem(row) ? Geometry::SearchRowLayout(row, viewport()->width()).bounds : QRect();
}

void CSearchResultsCtrl::PaintItem(QPainter& painter, int row, const QRect&) const {
    if (!IsItem(row)) {
        return;
    }
    const auto layout = Geometry::SearchRowLayout(row, viewport()->width());
    const CRow& found = m_rows[static_cast<std::size_t>(row)];
    const CShownRow shown = GetShownRow(row);

    painter.fillRect(layout.background,
                     row == GetSelectionMark() ? markedBackground : QColor(Qt::white));
    painter.setFont(RowFont(font(), QFont::Bold));
    painter.setPen(titleColour);
    DrawLine(painter, layout.title, shown.title);
    painter.setFont(RowFont(font(), QFont::Normal));
    painter.setPen(detailColour);
    DrawLine(painter, layout.details, shown.details);
    painter.setPen(Qt::black);
    DrawSnippet(painter, layout.snippet, SnippetRuns(found.snippet),
                RowFont(font(), QFont::Normal));

    painter.setPen(QPen(separatorColour, 1));
    painter.drawLine(layout.separator);
    painter.setClipRect(layout.bounds);
    m_icons.Draw(painter, layout.icon, found.icon);
}

void CSearchResultsCtrl::PaintEmpty(QPainter& painter) const {
    if (m_words.trimmed().isEmpty() || m_pending) {
        return;
    }
    painter.setFont(RowFont(font(), QFont::Normal));
    painter.setPen(detailColour);
    painter.drawText(viewport()->rect().adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("No meetings match"));
}

void CSearchResultsCtrl::ActivateItem(int row) {
    const std::string id = GetMeetingId(row);
    if (!id.empty()) {
        m_commands.ViewMeeting(id);
    }
}

void CSearchResultsCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit leaveRequested();
        return;
    }
    CListBase::keyPressEvent(event);
}
