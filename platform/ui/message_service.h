#pragma once

#include <QString>

class QWidget;

namespace platform::ui {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, YesNo, OkCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

// Every message box and file dialog of the program goes through this interface, so that tests
// can see what the user would see and answer it.
class MessageService {
public:
    virtual ~MessageService() = default;

    virtual MsgResult show(QWidget* parent, MsgIcon icon, const QString& caption,
                           const QString& text, MsgButtons buttons) = 0;
    // Returns the chosen path, or "" when the user cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& fileName,
                             const QString& filter) = 0;
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& fileName,
                             const QString& filter) = 0;

    // The kinds of box the forms use. A plain box carries the application's title as caption.
    void plain(QWidget* parent, const QString& text);
    void information(QWidget* parent, const QString& caption, const QString& text);
    void warning(QWidget* parent, const QString& caption, const QString& text);
    void error(QWidget* parent, const QString& caption, const QString& text);
    bool question(QWidget* parent, const QString& caption, const QString& text);  // Yes/No

    static QString applicationTitle();
};

}  // namespace platform::ui
