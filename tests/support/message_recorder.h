#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "platform/ui/message_service.h"

namespace testsupport {

// Captures every box and file dialog instead of showing it, and answers from a script.
// Questions are answered Yes unless an answer was queued; file dialogs return the queued path
// ("" = cancel) or "" when none was queued.
class MessageRecorder : public platform::ui::MessageService {
public:
    struct Entry {
        enum class Kind { Box, OpenFile, SaveFile } kind = Kind::Box;
        platform::ui::MsgIcon icon = platform::ui::MsgIcon::None;
        platform::ui::MsgButtons buttons = platform::ui::MsgButtons::Ok;
        QString caption;
        QString text;      // box text, or the preset file name of a dialog
        QString filter;    // file dialogs
        QString answered;  // path returned by a file dialog
    };

    platform::ui::MsgResult show(QWidget* parent, platform::ui::MsgIcon icon,
                                 const QString& caption, const QString& text,
                                 platform::ui::MsgButtons buttons) override;
    QString openFile(QWidget* parent, const QString& caption, const QString& fileName,
                     const QString& filter) override;
    QString saveFile(QWidget* parent, const QString& caption, const QString& fileName,
                     const QString& filter) override;

    void queueAnswer(platform::ui::MsgResult r) { answers_.push_back(r); }
    void queueFile(const QString& path) { files_.push_back(path); }
    // Called while a box is "open" (e.g. to check what is on screen at that moment).
    void onShow(std::function<void(const Entry&)> f) { onShow_ = std::move(f); }

    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<Entry> boxes() const;  // message boxes only
    QStringList texts() const;         // texts of the message boxes, in order
    const Entry& last() const { return entries_.back(); }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
    std::deque<platform::ui::MsgResult> answers_;
    std::deque<QString> files_;
    std::function<void(const Entry&)> onShow_;
};

}  // namespace testsupport
