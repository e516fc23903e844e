#include "platform/ui/qt_message_service.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/ui/toolkit_texts.h"

namespace platform::ui {

QString qtFileFilter(const QString& filter) {
    if (filter.trimmed().isEmpty()) return {};
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString caption = parts[i].trimmed();
        QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : caption;
        pattern.replace(u';', u' ');
        pattern = pattern.simplified();
        if (caption.contains(u'(' + pattern + u')'))
            out << caption;
        else
            out << caption + QStringLiteral(" (") + pattern + u')';
    }
    return out.join(QStringLiteral(";;"));
}

MsgResult QtMessageService::show(QWidget* parent, MsgIcon icon, const QString& caption,
                                 const QString& text, MsgButtons buttons) {
    QMessageBox box(parent);
    switch (icon) {
        case MsgIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
    }
    box.setWindowTitle(caption);
    box.setText(text);
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    switch (buttons) {
        case MsgButtons::Ok:
            ok = box.addButton(texts::ok(), QMessageBox::AcceptRole);
            box.setDefaultButton(ok);
            box.setEscapeButton(ok);
            break;
        case MsgButtons::YesNo:
            yes = box.addButton(QStringLiteral("예(&Y)"), QMessageBox::YesRole);
            no = box.addButton(QStringLiteral("아니요(&N)"), QMessageBox::NoRole);
            box.setDefaultButton(yes);
            box.setEscapeButton(no);
            break;
        case MsgButtons::OkCancel:
            ok = box.addButton(texts::ok(), QMessageBox::AcceptRole);
            cancel = box.addButton(texts::cancel(), QMessageBox::RejectRole);
            box.setDefaultButton(ok);
            box.setEscapeButton(cancel);
            break;
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (buttons == MsgButtons::YesNo) return clicked == yes ? MsgResult::Yes : MsgResult::No;
    if (buttons == MsgButtons::OkCancel) return clicked == ok ? MsgResult::Ok : MsgResult::Cancel;
    return MsgResult::Ok;
}

namespace {

QString runFileDialog(QWidget* parent, const QString& caption, const QString& fileName,
                      const QString& filter, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, caption, QString(), qtFileFilter(filter));
    dialog.setObjectName(QStringLiteral("fileDialog"));
    // Qt's own dialog speaks the program's language on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!fileName.isEmpty()) dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

QString QtMessageService::openFile(QWidget* parent, const QString& caption, const QString& fileName,
                                   const QString& filter) {
    return runFileDialog(parent, caption, fileName, filter, QFileDialog::AcceptOpen);
}

QString QtMessageService::saveFile(QWidget* parent, const QString& caption, const QString& fileName,
                                   const QString& filter) {
    return runFileDialog(parent, caption, fileName, filter, QFileDialog::AcceptSave);
}

}  // namespace platform::ui
