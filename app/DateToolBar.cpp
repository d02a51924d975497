#include "app/DateToolBar.h"

#include "app/ToolbarDateCtrl.h"

CDateToolBar::CDateToolBar(CDesktopServices& services, QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("mainToolBar"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setIconSize(QSize(16, 16));
    setMovable(true);
    m_picker = new CToolbarDateCtrl(services, this);
    addWidget(m_picker);
}
