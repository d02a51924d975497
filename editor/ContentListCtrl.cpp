#include "editor/ContentListCtrl.h"

#include "editor/ContentListGeometry.h"
#include "ui/TextConversion.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

const QColor separatorColour(132, 130, 132);

} // namespace

CContentListCtrl::CContentListCtrl(std::string meetingId, int rowImageId, int rowImageWidth,
                                   QWidget* parent)
    : CListBase(parent), m_meetingId(std::move(meetingId)),
      m_rowImages(LoadImageStrip(rowImageId, rowImageWidth)) {
    SetRowHeight(
        ContentListGeometry::RowHeight(m_rowImages.GetImageSize().height(),
                                       ContentListGeometry::LineHeight(RowFont(QFont::Normal))));
}

void CContentListCtrl::SetRowHeight(int height) {
    m_rowHeight = height;
    verticalScrollBar()->setSingleStep(m_rowHeight);
}

bool CContentListCtrl::DeleteMarked() {
    const int mark = GetSelectionMark();
    if (!IsItem(mark)) {
        return false;
    }
    RemoveRecord(mark);
    // The row below takes the deleted row's place, and the mark goes with the row it was on.
    SetSelectionMark(-1);
    RecordsChanged();
    return true;
}

bool CContentListCtrl::MoveUp() {
    const int mark = GetSelectionMark();
    if (!IsItem(mark) || mark == 0) {
        return false;
    }
    SwapRecords(mark, mark - 1);
    SetSelectionMark(mark - 1);
    ScrollTo(mark - 1);
    RecordsChanged();
    return true;
}

bool CContentListCtrl::MoveDown() {
    const int mark = GetSelectionMark();
    if (!IsItem(mark) || mark == ItemCount() - 1) {
        return false;
    }
    SwapRecords(mark, mark + 1);
    SetSelectionMark(mark + 1);
    ScrollTo(mark + 1);
    RecordsChanged();
    return true;
}

void CContentListCtrl::ActivateItem(int row) {
    emit ModifyRequested(row);
}

void CContentListCtrl::DeleteItem(int row) {
    emit DeleteRequested(row);
}

void CContentListCtrl::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !IsItem(GetSelectionMark())) {
        event->ignore();
        return;
    }
    CListBase::keyPressEvent(event);
}

void CContentListCtrl::RecordsChanged() {
    UpdateScrollRange();
    viewport()->update();
    emit ItemsChanged();
}

QRect CContentListCtrl::ItemRect(int row) const {
    return ContentListGeometry::RowRect(row, m_rowHeight, viewport()->width());
}

int CContentListCtrl::HitTest(const QPoint& contentPos) const {
    return ContentListGeometry::RowAt(contentPos.y(), m_rowHeight, ItemCount());
}

int CContentListCtrl::ContentHeight() const {
    return ItemCount() * m_rowHeight;
}

CListBase::CItemRange CContentListCtrl::ItemsToPaint(int top, int bottom) const {
    const int first = std::max(0, top / m_rowHeight);
    const int end = std::min(ItemCount(), bottom / m_rowHeight + 1);
    return {first, end};
}

QColor CContentListCtrl::PaintRowBase(QPainter& painter, int row, const QRect& rect, bool separator,
                                      int image) const {
    const bool marked = row == GetSelectionMark();
    painter.fillRect(ContentListGeometry::FillRect(rect),
                     marked ? QColor(Qt::black) : QColor(Qt::white));
    if (separator) {
        painter.setPen(QPen(separatorColour, 1));
        painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    }
    m_rowImages.Draw(painter, rect.topLeft(), image);
    return marked ? QColor(Qt::white) : QColor(Qt::black);
}

void CContentListCtrl::DrawRowText(QPainter& painter, const QRect& rect, const QString& text) {
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

QFont CContentListCtrl::RowFont(QFont::Weight weight, int pixelSize) const {
    QFont rowFont = font();
    rowFont.setPixelSize(pixelSize);
    rowFont.setWeight(weight);
    return rowFont;
}

QString ToRowText(const std::string& text) {
    QString shown = ToShownText(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    return shown;
}
