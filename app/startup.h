#pragma once

class QCoreApplication;

namespace app {

// Qt's own texts (message-box buttons, file dialogs, context menus) in Korean, from the
// qtbase_ko catalogue of the Qt installation. False when the catalogue is missing; the
// program then runs with Qt's English texts.
bool installKoreanTranslations(QCoreApplication& app);

}  // namespace app
