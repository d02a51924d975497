#include "editor/TodoListCtrl.h"

#include "editor/ContentListGeometry.h"
#include "editor/TodoHeaderCtrl.h"
#include "store/ContentFiles.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int doneImage = 3;
constexpr int notDoneImage = 4;

} // namespace

CTodoListCtrl::CTodoListCtrl(std::string meetingId, QWidget* parent)
    : CContentListCtrl(std::move(meetingId), PictureId::todoRowStrip, 16, parent) {
    setObjectName(QStringLiteral("todoList"));
    m_header = new CTodoHeaderCtrl(this);
    connect(m_header, &CTodoHeaderCtrl::sortRequested, this, &CTodoListCtrl::Sort);
    setViewportMargins(0, ContentListGeometry::todoHeaderHeight, 0, 0);
    // The text is drawn in the list's own font.
    SetRowHeight(ContentListGeometry::RowHeight(RowImages().GetImageSize().height(),
                                                ContentListGeometry::LineHeight(font())));
}

void CTodoListCtrl::Load() {
    m_items = ReadTodoFile(GetMeetingId());
    SetSelectionMark(-1);
    Sort(TodoSort::textAscending);
}

void CTodoListCtrl::Save() const {
    WriteTodoFile(GetMeetingId(), m_items);
}

const CTodoItem& CTodoListCtrl::GetItem(int row) const {
    return m_items.at(static_cast<std::size_t>(row));
}

const CTodoItem* CTodoListCtrl::GetMarkedItem() const {
    return IsItem(GetSelectionMark()) ? &GetItem(GetSelectionMark()) : nullptr;
}

void CTodoListCtrl::Add(CTodoItem item) {
    m_items.push_back(std::move(item));
    Sort(m_sortCode);
}

bool CTodoListCtrl::ModifyMarked(CTodoItem item) {
    if (!IsItem(GetSelectionMark())) {
        return false;
    }
    m_items[static_cast<std::size_t>(GetSelectionMark())] = std::move(item);
    Sort(m_sortCode);
    return true;
}

bool CTodoListCtrl::DeleteMarked() {
    if (!CContentListCtrl::DeleteMarked()) {
        return false;
    }
    Sort(m_sortCode);
    return true;
}

void CTodoListCtrl::Sort(int code) {
    m_sortCode = code;
    std::vector<int> order(m_items.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::stable_sort(order.begin(), order.end(), [this, code](int a, int b) {
        return TodoSort::Compare(code, m_items[static_cast<std::size_t>(a)],
                                 m_items[static_cast<std::size_t>(b)]) < 0;
    });
    std::vector<CTodoItem> sorted;
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
    RecordsChanged();
}

void CTodoListCtrl::mousePressEvent(QMouseEvent* event) {
    // The press marks the row first; then a press on a picture column changes the todo.
    CContentListCtrl::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const int row = ItemAtViewport(pos);
    if (!IsItem(row)) {
        return;
    }
    CTodoItem& item = m_items[static_cast<std::size_t>(row)];
    switch (ContentListGeometry::TodoColumnAt(pos.x(), viewport()->width())) {
    case 0:
        item.priority = TodoSort::NextPriority(item.priority);
        break;
    case 1:
        item.done = TodoSort::ToggledDone(item.done);
        break;
    default:
        return;
    }
    RecordsChanged();
}

void CTodoListCtrl::resizeEvent(QResizeEvent* event) {
    CContentListCtrl::resizeEvent(event);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - ContentListGeometry::todoHeaderHeight,
                          area.width(), ContentListGeometry::todoHeaderHeight);
}

void CTodoListCtrl::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    using ContentListGeometry::FillRect;
    using ContentListGeometry::TodoColumnRect;
    const CTodoItem& item = GetItem(row);

    // The pictures always stand on white; only the text shows the mark.
    const QRect priority = TodoColumnRect(rect, 0);
    const QRect done = TodoColumnRect(rect, 1);
    painter.fillRect(FillRect(priority.united(done)), Qt::white);
    // A priority other than low, medium or high shows no picture (index 3 would be "done").
    if (item.priority >= CTodoItem::low && item.priority <= CTodoItem::high) {
        RowImages().Draw(painter, priority.topLeft(), item.priority);
    }
    RowImages().Draw(painter, done.topLeft(), item.done != 0 ? doneImage : notDoneImage);

    const QRect text = TodoColumnRect(rect, 2);
    const bool marked = row == GetSelectionMark();
    painter.fillRect(FillRect(text), marked ? QColor(Qt::black) : QColor(Qt::white));
    QFont textFont = font();
    textFont.setWeight(QFont::Normal);
    painter.setFont(textFont);
    painter.setPen(marked ? QColor(Qt::white) : QColor(Qt::black));
    // The focus frame goes round the text column: the first letter stands clear of it.
    DrawRowText(painter,
                ContentListGeometry::TextRect(text, ContentListGeometry::focusFrameWidth + 1),
                ToRowText(item.text));
}

QRect CTodoListCtrl::FocusFrameRect(int row) const {
    return ContentListGeometry::TodoColumnRect(ItemRect(row), 2);
}

void CTodoListCtrl::SwapRecords(int first, int second) {
    std::swap(m_items.at(static_cast<std::size_t>(first)),
              m_items.at(static_cast<std::size_t>(second)));
}

void CTodoListCtrl::RemoveRecord(int row) {
    m_items.erase(m_items.begin() + row);
}
