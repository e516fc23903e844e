#include "app/app_style.h"

#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>

namespace app {

AppStyle::AppStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

QIcon AppStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                             const QWidget* widget) const {
    if (icon == SP_TitleBarMenuButton || icon == SP_TitleBarMaxButton) {
        const QPixmap picture = baseStyle()->standardPixmap(icon, option, widget);
        if (!picture.isNull()) return QIcon(picture);
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

}  // namespace app
