#pragma once

#include <QToolBar>

class CDesktopServices;
class CToolbarDateCtrl;

// The main toolbar, which carries the date picker in place of its first button.
class CDateToolBar : public QToolBar {
    Q_OBJECT

public:
    explicit CDateToolBar(CDesktopServices& services, QWidget* parent = nullptr);

    CToolbarDateCtrl* GetDatePicker() const { return m_picker; }

private:
    CToolbarDateCtrl* m_picker = nullptr;
};
