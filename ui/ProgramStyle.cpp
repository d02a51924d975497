#include "ui/ProgramStyle.h"

#include "ui/ImageStrip.h"

namespace {

constexpr int messagePictureSize = 48;

int MessagePictureIndex(QStyle::StandardPixmap icon) {
    switch (icon) {
    case QStyle::SP_MessageBoxQuestion:
        return 0;
    case QStyle::SP_MessageBoxInformation:
        return 1;
    case QStyle::SP_MessageBoxWarning:
        return 2;
    case QStyle::SP_MessageBoxCritical:
        return 3;
    default:
        return -1;
    }
}

} // namespace

QIcon MessagePicture(QStyle::StandardPixmap icon) {
    const int index = MessagePictureIndex(icon);
    const CImageStrip strip = LoadImageStrip(PictureId::messageIcons, messagePictureSize);
    if (index < 0 || index >= strip.GetImageCount()) {
        return {};
    }
    QIcon picture;
    for (const qreal ratio : {1.0, 2.0, 3.0}) {
        picture.addPixmap(strip.GetPixmap(index, ratio));
    }
    return picture;
}

CProgramStyle::CProgramStyle(QStyle* base) : QProxyStyle(base) {}

QIcon CProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                  const QWidget* widget) const {
    const QIcon picture = MessagePicture(icon);
    return picture.isNull() ? QProxyStyle::standardIcon(icon, option, widget) : picture;
}

int CProgramStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* returnData) const {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) {
        return 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
