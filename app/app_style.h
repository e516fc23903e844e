#pragma once

#include <QProxyStyle>

namespace app {

// The program's widget style: Fusion, with the title-bar icons of MDI windows drawn from the
// style's own in-memory pictures. Qt builds two of those icons from image files, and reading
// the first image file of a run makes it load and ask every image-format plugin on the
// machine, which would cost the start-up its largest single delay for icons that only ever
// show in a window's system menu.
class AppStyle : public QProxyStyle {
public:
    AppStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace app
