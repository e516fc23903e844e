#include "tests/support/message_recorder.h"

namespace testsupport {

using platform::ui::MsgButtons;
using platform::ui::MsgIcon;
using platform::ui::MsgResult;

MsgResult MessageRecorder::show(QWidget*, MsgIcon icon, const QString& caption,
                                const QString& text, MsgButtons buttons) {
    Entry e;
    e.icon = icon;
    e.buttons = buttons;
    e.caption = caption;
    e.text = text;
    entries_.push_back(e);
    if (onShow_) onShow_(e);
    if (!answers_.empty()) {
        MsgResult r = answers_.front();
        answers_.pop_front();
        return r;
    }
    switch (buttons) {
        case MsgButtons::YesNo:
            return MsgResult::Yes;
        case MsgButtons::OkCancel:
        case MsgButtons::Ok:
            return MsgResult::Ok;
    }
    return MsgResult::Ok;
}

QString MessageRecorder::openFile(QWidget*, const QString& caption, const QString& fileName,
                                  const QString& filter) {
    Entry e;
    e.kind = Entry::Kind::OpenFile;
    e.caption = caption;
    e.text = fileName;
    e.filter = filter;
    if (!files_.empty()) {
        e.answered = files_.front();
        files_.pop_front();
    }
    entries_.push_back(e);
    if (onShow_) onShow_(e);
    return e.answered;
}

QString MessageRecorder::saveFile(QWidget*, const QString& caption, const QString& fileName,
                                  const QString& filter) {
    Entry e;
    e.kind = Entry::Kind::SaveFile;
    e.caption = caption;
    e.text = fileName;
    e.filter = filter;
    if (!files_.empty()) {
        e.answered = files_.front();
        files_.pop_front();
    }
    entries_.push_back(e);
    if (onShow_) onShow_(e);
    return e.answered;
}

std::vector<MessageRecorder::Entry> MessageRecorder::boxes() const {
    std::vector<Entry> out;
    for (const auto& e : entries_)
        if (e.kind == Entry::Kind::Box) out.push_back(e);
    return out;
}

QStringList MessageRecorder::texts() const {
    QStringList out;
    for (const auto& e : entries_)
        if (e.kind == Entry::Kind::Box) out << e.text;
    return out;
}

}  // namespace testsupport
