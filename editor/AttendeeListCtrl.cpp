#include "editor/AttendeeListCtrl.h"

#include "editor/ContentListGeometry.h"
#include "store/ContentFiles.h"
#include "ui/TextConversion.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

CAttendeeListCtrl::CAttendeeListCtrl(std::string meetingId, QWidget* parent)
    : CContentListCtrl(std::move(meetingId), PictureId::attendeeRowPicture, 16, parent) {
    setObjectName(QStringLiteral("attendeeList"));
}

void CAttendeeListCtrl::Load() {
    FinishEditing(false);
    m_names = ReadAttendeeFile(GetMeetingId());
    SetSelectionMark(-1);
    RecordsChanged();
}

void CAttendeeListCtrl::Save() const {
    WriteAttendeeFile(GetMeetingId(), m_names);
}

const std::string& CAttendeeListCtrl::GetItem(int row) const {
    return m_names.at(static_cast<std::size_t>(row));
}

bool CAttendeeListCtrl::Add(std::string name) {
    if (name.empty()) {
        return false;
    }
    m_names.push_back(std::move(name));
    RecordsChanged();
    return true;
}

bool CAttendeeListCtrl::Rename(int row, const QString& typed) {
    if (!IsItem(row) || typed.trimmed().isEmpty()) {
        return false;
    }
    std::string& name = m_names[static_cast<std::size_t>(row)];
    // An unchanged name keeps its stored bytes, whatever code page they were written in.
    if (typed != ToQString(name)) {
        name = FromQString(typed);
    }
    RecordsChanged();
    return true;
}

bool CAttendeeListCtrl::EditMarked() {
    const int mark = GetSelectionMark();
    if (!IsItem(mark)) {
        return false;
    }
    FinishEditing(false);
    setFocus();
    ScrollTo(mark);
    if (m_editor == nullptr) {
        m_editor = new QLineEdit(viewport());
        m_editor->setObjectName(QStringLiteral("attendeeNameEditor"));
        m_editor->setFrame(true);
        m_editor->installEventFilter(this);
    }
    m_editRow = mark;
    const QRect text = ContentListGeometry::TextRect(ViewportRect(mark),
                                                     ContentListGeometry::attendeeTextLeft - 3);
    m_editor->setFont(RowFont(QFont::Normal));
    m_editor->setGeometry(text.adjusted(0, -1, 0, 0));
    m_editor->setText(ToQString(GetItem(mark)));
    m_editor->selectAll();
    m_editor->show();
    m_editor->setFocus();
    return true;
}

bool CAttendeeListCtrl::IsEditing() const {
    return m_editRow != -1;
}

void CAttendeeListCtrl::FinishEditing(bool keep) {
    if (m_editRow == -1) {
        return;
    }
    const int row = m_editRow;
    // Cleared first: hiding the editor takes its focus away, which finishes again.
    m_editRow = -1;
    const QString typed = m_editor->text();
    const bool hadFocus = m_editor->hasFocus();
    m_editor->hide();
    if (hadFocus) {
        setFocus();
    }
    if (keep) {
        Rename(row, typed);
    }
    viewport()->update();
}

bool CAttendeeListCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor && m_editRow != -1) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                FinishEditing(true);
                return true;
            }
            if (key == Qt::Key_Escape) {
                FinishEditing(false);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Leaving the editor keeps what was typed, as Enter does.
            FinishEditing(true);
        }
    }
    return CContentListCtrl::eventFilter(watched, event);
}

void CAttendeeListCtrl::PressItem(int row) {
    const bool onMarked = row != -1 && row == GetSelectionMark() && hasFocus();
    FinishEditing(true);
    CContentListCtrl::PressItem(row);
    if (onMarked) {
        EditMarked();
    }
}

void CAttendeeListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        EditMarked();
        event->accept();
        return;
    }
    CContentListCtrl::keyPressEvent(event);
}

void CAttendeeListCtrl::scrollContentsBy(int dx, int dy) {
    // The editor stands over its row: moving the rows ends the editing, keeping the name.
    FinishEditing(true);
    CContentListCtrl::scrollContentsBy(dx, dy);
}

void CAttendeeListCtrl::resizeEvent(QResizeEvent* event) {
    FinishEditing(true);
    CContentListCtrl::resizeEvent(event);
}

void CAttendeeListCtrl::PaintItem(QPainter& painter, int row, const QRect& rect) const {
    const QColor text = PaintRowBase(painter, row, rect, true);
    painter.setFont(RowFont(QFont::Normal));
    painter.setPen(text);
    DrawRowText(painter, ContentListGeometry::TextRect(rect, ContentListGeometry::attendeeTextLeft),
                ToShownText(GetItem(row)));
}

void CAttendeeListCtrl::SwapRecords(int first, int second) {
    // A button's shortcut moves the rows without taking the focus from the editor: the
    // name being typed is kept on its row first.
    FinishEditing(true);
    std::swap(m_names.at(static_cast<std::size_t>(first)),
              m_names.at(static_cast<std::size_t>(second)));
}

void CAttendeeListCtrl::RemoveRecord(int row) {
    FinishEditing(false);
    m_names.erase(m_names.begin() + row);
}
