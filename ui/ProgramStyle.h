#pragma once

#include <QProxyStyle>

// The platform's style with the program's own touches: message boxes show the program's
// pictures instead of the style's stock ones (which, without an icon theme, are old clip
// art), and standard dialog buttons carry no icons.
class CProgramStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Takes over `base`; the platform's default style without one.
    explicit CProgramStyle(QStyle* base = nullptr);

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// The picture of a message box kind (a QStyle::SP_MessageBox... value) from the program's
// artwork; a null icon for any other standard pixmap.
QIcon MessagePicture(QStyle::StandardPixmap icon);
