#pragma once

#include <curl/curl.h>

#include <QString>

namespace platform::ftp {

// libcurl, loaded on the first FTP connection rather than at program start: with the
// libraries it pulls in (TLS, Kerberos, LDAP, SSH, ...) it is the largest part of what the
// dynamic loader does before the login form can paint, and most sessions of the program
// start without a transfer.
class CurlLibrary {
public:
    // The loaded library with curl_global_init done, or nullptr when it cannot be loaded
    // (`error`, if given, then says why). Loads once per process; thread-safe.
    static const CurlLibrary* get(QString* error = nullptr);

    decltype(&::curl_global_init) global_init = nullptr;
    decltype(&::curl_easy_init) easy_init = nullptr;
    decltype(&::curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&::curl_easy_reset) easy_reset = nullptr;
    decltype(&::curl_easy_setopt) easy_setopt = nullptr;
    decltype(&::curl_easy_perform) easy_perform = nullptr;
    decltype(&::curl_easy_strerror) easy_strerror = nullptr;
    decltype(&::curl_slist_append) slist_append = nullptr;
    decltype(&::curl_slist_free_all) slist_free_all = nullptr;

private:
    CurlLibrary() = default;
};

}  // namespace platform::ftp
