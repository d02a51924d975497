#include "app/DateToolBar.h"

#include "app/ToolbarDateCtrl.h"

CDateToolBar::CDateToolBar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("mainToolBar"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setIconSize(QSize(16, 16));
    setMovable(true);
    m_picker = new CToolbarDateCtrl(this);
    addWidget(m_picker);
}
