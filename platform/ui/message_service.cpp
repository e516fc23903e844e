#include "platform/ui/message_service.h"

namespace platform::ui {

QString MessageService::applicationTitle() { return QStringLiteral("PAYDESK 출금서비스"); }

void MessageService::plain(QWidget* parent, const QString& text) {
    show(parent, MsgIcon::None, applicationTitle(), text, MsgButtons::Ok);
}

void MessageService::information(QWidget* parent, const QString& caption, const QString& text) {
    show(parent, MsgIcon::Information, caption, text, MsgButtons::Ok);
}

void MessageService::warning(QWidget* parent, const QString& caption, const QString& text) {
    show(parent, MsgIcon::Warning, caption, text, MsgButtons::Ok);
}

void MessageService::error(QWidget* parent, const QString& caption, const QString& text) {
    show(parent, MsgIcon::Error, caption, text, MsgButtons::Ok);
}

bool MessageService::question(QWidget* parent, const QString& caption, const QString& text) {
    return show(parent, MsgIcon::Question, caption, text, MsgButtons::YesNo) == MsgResult::Yes;
}

}  // namespace platform::ui
