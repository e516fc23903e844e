#pragma once

#include <QString>

namespace platform::shell {

// What differs per platform: the desktop shortcut, the shell's "open" action, the program
// and desktop folders. Linux implementations live beside this header.

// Folder of the running executable (no trailing separator). PAYDESK_PROGRAM_DIR overrides it
// (tests, the demo, the installed package's per-user folder).
QString programDir();
// The user's desktop folder (XDG). PAYDESK_DESKTOP_DIR overrides it so tests never touch a
// real desktop.
QString desktopDir();
// Writes the launcher "PAYDESK.desktop" (Windows: PAYDESK.lnk) whose command is
// programDir + fixed program file name. Returns false on failure; callers ignore it.
bool writeDesktopShortcut(const QString& desktopFolder, const QString& programFolder);
// Fixed file name of the program, whatever name the running file has.
QString programFileName();
// Opens a document with the user's default application. Returns false on failure.
bool openDocument(const QString& path);

}  // namespace platform::shell
