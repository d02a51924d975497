#pragma once

#include <QDialog>

class CMeetingIconList;

// "Select Meeting Icon": the 72 meeting icons. It opens on the meeting's icon, scrolled into
// view but not highlighted; OK returns the icon last clicked, or the one it opened on.
class CMeetingIconDialog : public QDialog {
    Q_OBJECT

public:
    explicit CMeetingIconDialog(int icon, QWidget* parent = nullptr);

    int GetIcon() const;
    CMeetingIconList& GetList() const { return *m_list; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    const int m_entryIcon;
    CMeetingIconList* m_list = nullptr;
};
