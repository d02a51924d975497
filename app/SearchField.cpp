#include "app/SearchField.h"

#include <QKeyEvent>

CSearchField::CSearchField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("searchField"));
    setPlaceholderText(QStringLiteral("Search meetings"));
    setClearButtonEnabled(true);
    setToolTip(QStringLiteral("Search meetings (Ctrl+F)"));
    setAccessibleName(QStringLiteral("Search meetings"));
    setMinimumWidth(150);
    setMaximumWidth(240);
    // A zero timer fires once the event queue is empty: keys typed faster than a query runs
    // arrive together and make one query.
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, [this] { emit searchRequested(text()); });
    connect(this, &QLineEdit::textEdited, this, [this] { m_pending.start(); });
}

void CSearchField::Reset() {
    m_pending.stop();
    clear();
}

void CSearchField::SendPendingSearch() {
    if (m_pending.isActive()) {
        m_pending.stop();
        emit searchRequested(text());
    }
}

void CSearchField::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            SendPendingSearch();
            emit activateRequested();
            return;
        case Qt::Key_Down:
            SendPendingSearch();
            emit resultsRequested();
            return;
        case Qt::Key_Escape:
            m_pending.stop();
            emit leaveRequested();
            return;
        default:
            break;
        }
    }
    QLineEdit::keyPressEvent(event);
}
