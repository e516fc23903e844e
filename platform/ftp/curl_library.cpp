#include "platform/ftp/curl_library.h"

#include "platform/library/shared_library.h"

namespace platform::ftp {

namespace {

struct Loaded {
    const CurlLibrary* library = nullptr;
    QString error;
};

}  // namespace

const CurlLibrary* CurlLibrary::get(QString* error) {
    static const Loaded loaded = [] {
        Loaded l;
        static library::SharedLibrary lib(QStringLiteral("curl"), 4, QStringLiteral("libcurl"));
        static CurlLibrary api;
        lib.resolve("curl_global_init", api.global_init);
        lib.resolve("curl_easy_init", api.easy_init);
        lib.resolve("curl_easy_cleanup", api.easy_cleanup);
        lib.resolve("curl_easy_reset", api.easy_reset);
        lib.resolve("curl_easy_setopt", api.easy_setopt);
        lib.resolve("curl_easy_perform", api.easy_perform);
        lib.resolve("curl_easy_strerror", api.easy_strerror);
        lib.resolve("curl_slist_append", api.slist_append);
        lib.resolve("curl_slist_free_all", api.slist_free_all);
        if (!lib.ok())
            l.error = lib.error();
        else if (api.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            l.error = QStringLiteral("curl_global_init");
        else
            l.library = &api;
        return l;
    }();
    if (error) *error = loaded.error;
    return loaded.library;
}

}  // namespace platform::ftp
