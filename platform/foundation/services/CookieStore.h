#pragma once

#include "platform/foundation/runtime/Value.h"

#include <mutex>
#include <optional>
#include <vector>

namespace fnd {

struct HTTPCookie {
    String name;
    String value;
    // Lower case, without a leading dot.
    String domain;
    String path { "/" };
    // None: a session cookie.
    std::optional<Date> expiresDate;
    bool isSecure { false };
    bool isHTTPOnly { false };
    // Set without a Domain attribute: sent to exactly that host, not to its subdomains.
    bool isHostOnly { true };
};

// Cookies by address, as RFC 6265 describes them: received through Set-Cookie, sent back to matching addresses.
// Kept in memory for the life of the process.
class HTTPCookieStorage {
public:
    static HTTPCookieStorage& sharedHTTPCookieStorage();

    // The cookies one Set-Cookie value makes for a response from `url`: none when the value is malformed, names a
    // domain the address does not belong to, or the address is not http(s).
    static std::optional<HTTPCookie> cookieFromSetCookieHeader(const String& header, const String& url);
    // "name=value; name2=value2", for a Cookie header.
    static String cookieHeaderForCookies(const std::vector<HTTPCookie>& cookies);

    // Replaces a cookie of the same name, domain and path; an expired cookie removes it instead.
    void setCookie(const HTTPCookie& cookie);
    void setCookiesFromHeaders(const std::vector<String>& setCookieHeaders, const String& url);
    void deleteCookie(const HTTPCookie& cookie);
    void removeAllCookies();

    // The unexpired cookies to send to `url`: domain and path match, secure ones only over https; longer paths first.
    std::vector<HTTPCookie> cookiesForURL(const String& url) const;
    std::vector<HTTPCookie> cookies() const;

private:
    struct Stored {
        HTTPCookie cookie;
        std::uint64_t order;
    };
    void dropExpired() const;

    mutable std::mutex m_mutex;
    mutable std::vector<Stored> m_cookies;
    std::uint64_t m_nextOrder { 0 };
};

}
