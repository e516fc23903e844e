#include "platform/library/shared_library.h"

namespace platform::library {

SharedLibrary::SharedLibrary(const QString& name, int version, const QString& windowsName) {
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    Q_UNUSED(version);
    lib_.setFileName(windowsName);
#else
    Q_UNUSED(windowsName);
    lib_.setFileNameAndVersion(name, version);
#endif
    if (!lib_.load()) error_ = lib_.errorString();
}

}  // namespace platform::library
