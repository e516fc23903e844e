#pragma once

#include <QLibrary>
#include <QString>

namespace platform::library {

// A shared library loaded at run time, for the few that only some sessions need: linked, they
// and everything they pull in would be mapped and relocated before the first window can paint.
// Stays loaded for the life of the process, as a linked library would.
class SharedLibrary {
public:
    // `name` without prefix or suffix ("curl"); `version` the major number of its file on
    // Linux (libcurl.so.4); `windowsName` the DLL's base name ("libcurl").
    SharedLibrary(const QString& name, int version, const QString& windowsName);

    // Sets `out` to the symbol's address; a missing symbol makes the library unusable.
    template <typename F>
    void resolve(const char* symbol, F& out) {
        out = reinterpret_cast<F>(lib_.isLoaded() ? lib_.resolve(symbol) : nullptr);
        if (!out && error_.isEmpty())
            error_ = QStringLiteral("%1: %2 없음").arg(lib_.fileName(), QLatin1String(symbol));
    }

    bool ok() const { return error_.isEmpty(); }
    QString error() const { return error_; }

private:
    QLibrary lib_;
    QString error_;
};

}  // namespace platform::library
