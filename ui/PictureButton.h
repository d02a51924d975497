#pragma once

#include <QAbstractButton>

// A button drawn entirely by its picture (as in the working-directory dialog), with a focus
// frame for keyboard use and a pressed look.
class CPictureButton : public QAbstractButton {
    Q_OBJECT

public:
    // The band around the picture that holds the focus frame.
    static constexpr int focusMargin = 4;

    CPictureButton(int bitmapId, const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_bitmapId;
};
