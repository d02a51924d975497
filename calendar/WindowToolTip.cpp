#include "calendar/WindowToolTip.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

CWindowToolTip::CWindowToolTip(QObject* parent) : QObject(parent) {}

void CWindowToolTip::AddWindowTool(QWidget* window, const QString& text) {
    if (window == nullptr) {
        return;
    }
    m_texts.insert(window, text);
    QList<QWidget*> watched{window};
    if (auto* area = qobject_cast<QAbstractScrollArea*>(window)) {
        watched.append(area->viewport());
    }
    for (QWidget* widget : watched) {
        m_tools.insert(widget, window);
        widget->installEventFilter(this);
    }
    connect(window, &QObject::destroyed, this, [this, window, watched] {
        m_texts.remove(window);
        for (QWidget* widget : watched) {
            m_tools.remove(widget);
        }
    });
}

void CWindowToolTip::SetToolText(QWidget* window, const QString& text) {
    if (!m_texts.contains(window)) {
        return;
    }
    m_texts.insert(window, text);
    if (!window->isVisible() || !window->rect().contains(window->mapFromGlobal(QCursor::pos()))) {
        return;
    }
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(QCursor::pos(), text, window);
    }
}

QWidget* CWindowToolTip::ToolOf(QObject* watched) const {
    const auto found = m_tools.find(watched);
    return found == m_tools.end() ? nullptr : found.value().data();
}

bool CWindowToolTip::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        if (QWidget* tool = ToolOf(watched)) {
            const QString text = m_texts.value(tool);
            if (text.isEmpty()) {
                QToolTip::hideText();
                event->ignore();
            } else {
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, tool);
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
