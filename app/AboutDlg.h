#pragma once

#include <QDialog>

// The about box: one picture with the program's name and version over the whole dialog and
// no buttons. A click on the picture or Enter ends it with Accepted; Escape and the close box
// end it as Rejected.
class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The picture's size in pixels, which is the dialog's fixed size.
    static QSize PictureSize();
    // The picture control that reports clicks.
    QWidget* Picture() const { return m_picture; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* m_picture = nullptr;
};
