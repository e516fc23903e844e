#pragma once

#include "platform/ui/message_service.h"

namespace platform::ui {

// The program's MessageService: real message boxes (icon, caption, text; buttons "확인" or
// "예"/"아니요", "확인"/"취소") and Qt's own file dialogs.
class QtMessageService : public MessageService {
public:
    MsgResult show(QWidget* parent, MsgIcon icon, const QString& caption, const QString& text,
                   MsgButtons buttons) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& fileName,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& fileName,
                     const QString& filter) override;
};

// The forms write file filters as "caption|pattern|caption|pattern" ("JPG|*.JPG"); Qt wants
// "caption (pattern);;caption (pattern)". Several patterns of one entry ("*.jpg;*.jpeg")
// become space-separated; a caption that already names its pattern in brackets is kept.
QString qtFileFilter(const QString& filter);

}  // namespace platform::ui
