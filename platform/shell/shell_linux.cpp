// Linux stand-ins for the Windows shell: a freedesktop launcher instead of a .lnk, xdg-open
// instead of ShellExecute "open".
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/shell/shell.h"

namespace platform::shell {

QString programDir() {
    const QString env = qEnvironmentVariable("PAYDESK_PROGRAM_DIR");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString desktopDir() {
    const QString env = qEnvironmentVariable("PAYDESK_DESKTOP_DIR");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString programFileName() { return QStringLiteral("paydesk"); }

bool writeDesktopShortcut(const QString& desktopFolder, const QString& programFolder) {
    if (desktopFolder.isEmpty() || !QDir(desktopFolder).exists()) return false;
    // An installed program starts through its launcher, which prepares the per-user folder.
    const QString launcher = qEnvironmentVariable("PAYDESK_LAUNCHER");
    const QString target =
        launcher.isEmpty() ? QDir(programFolder).filePath(programFileName()) : launcher;
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=PAYDESK\n");
    text += QStringLiteral("Comment=PAYDESK 출금서비스\n");
    text += QStringLiteral("Exec=\"%1\"\n").arg(target);
    text += QStringLiteral("Path=%1\n").arg(programFolder);
    text += QStringLiteral("Icon=paydesk\n");
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("Categories=Office;Finance;\n");
    const QString path = QDir(desktopFolder).filePath(QStringLiteral("PAYDESK.desktop"));
    const QByteArray bytes = text.toUtf8();
    // The launcher of the last start usually holds these bytes already; writing them again
    // would only cost every start a flush to disk.
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == bytes.size() &&
        current.readAll() == bytes && (current.permissions() & QFile::ExeOwner))
        return true;
    current.close();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(bytes);
    if (!f.commit()) return false;
    QFile::setPermissions(f.fileName(), QFile::permissions(f.fileName()) | QFile::ExeOwner |
                                            QFile::ExeUser);
    return true;
}

bool openDocument(const QString& path) {
    if (!QFile::exists(path)) return false;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {path});
}

}  // namespace platform::shell
