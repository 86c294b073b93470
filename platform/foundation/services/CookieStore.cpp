#include "platform/foundation/services/CookieStore.h"

#include "platform/foundation/detail/URLParts.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace fnd {

namespace {

std::string_view trim(std::string_view text)
{
    auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text)
{
    std::string out(text);
    std::ranges::transform(out, out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

bool isIPAddress(const std::string& host)
{
    return host.find(':') != std::string::npos
        || std::ranges::all_of(host, [](unsigned char c) { return std::isdigit(c) || c == '.'; });
}

bool domainMatches(const std::string& host, const std::string& domain)
{
    if (host == domain)
        return true;
    return !isIPAddress(host) && host.size() > domain.size() && host.ends_with(domain)
        && host[host.size() - domain.size() - 1] == '.';
}

bool pathMatches(const std::string& requestPath, const std::string& cookiePath)
{
    if (requestPath == cookiePath)
        return true;
    if (!requestPath.starts_with(cookiePath))
        return false;
    return cookiePath.ends_with('/') || requestPath[cookiePath.size()] == '/';
}

std::string defaultPath(const std::string& requestPath)
{
    if (requestPath.empty() || requestPath.front() != '/')
        return "/";
    auto slash = requestPath.rfind('/');
    return slash == 0 ? "/" : requestPath.substr(0, slash);
}

bool isExpired(const HTTPCookie& cookie, Date now)
{
    return cookie.expiresDate && *cookie.expiresDate <= now;
}

bool sameCookie(const HTTPCookie& a, const HTTPCookie& b)
{
    return a.name == b.name && a.domain == b.domain && a.path == b.path;
}

}

HTTPCookieStorage& HTTPCookieStorage::sharedHTTPCookieStorage()
{
    static HTTPCookieStorage storage;
    return storage;
}

std::optional<HTTPCookie> HTTPCookieStorage::cookieFromSetCookieHeader(const String& header, const String& url)
{
    auto parts = detail::parseURL(url);
    if (!parts || (parts->scheme != "http" && parts->scheme != "https"))
        return std::nullopt;

    auto text = header.utf8();
    std::string_view rest(text);
    auto semicolon = rest.find(';');
    auto pair = rest.substr(0, semicolon);
    rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    auto equals = pair.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    HTTPCookie cookie;
    auto name = trim(pair.substr(0, equals));
    if (name.empty())
        return std::nullopt;
    cookie.name = String(name);
    cookie.value = String(trim(pair.substr(equals + 1)));

    std::optional<Date> expires;
    std::optional<Date> maxAge;
    std::string domainAttribute;
    std::string path;
    while (!rest.empty()) {
        semicolon = rest.find(';');
        auto attribute = rest.substr(0, semicolon);
        rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
        auto attributeEquals = attribute.find('=');
        auto attributeName = lower(trim(attribute.substr(0, attributeEquals)));
        auto attributeValue = attributeEquals == std::string_view::npos ? std::string_view()
                                                                        : trim(attribute.substr(attributeEquals + 1));
        if (attributeName == "expires") {
            auto time = curl_getdate(std::string(attributeValue).c_str(), nullptr);
            if (time != -1)
                expires = Date::fromUnixTime(static_cast<double>(time));
        } else if (attributeName == "max-age") {
            auto digits = attributeValue.starts_with('-') ? attributeValue.substr(1) : attributeValue;
            if (!digits.empty() && digits.size() < 12
                && std::ranges::all_of(digits, [](unsigned char c) { return std::isdigit(c); })) {
                auto seconds = std::stoll(std::string(digits));
                maxAge = seconds <= 0 || attributeValue.starts_with('-') ? Date::distantPast()
                                                                         : Date::now().addingTimeInterval(seconds);
            }
        } else if (attributeName == "domain" && !attributeValue.empty()) {
            auto value = attributeValue.starts_with('.') ? attributeValue.substr(1) : attributeValue;
            domainAttribute = lower(value);
        } else if (attributeName == "path") {
            path = attributeValue.starts_with('/') ? std::string(attributeValue) : std::string();
        } else if (attributeName == "secure") {
            cookie.isSecure = true;
        } else if (attributeName == "httponly") {
            cookie.isHTTPOnly = true;
        }
    }

    cookie.expiresDate = maxAge ? maxAge : expires;
    if (!domainAttribute.empty()) {
        if (!domainMatches(parts->host, domainAttribute))
            return std::nullopt;
        cookie.domain = String(domainAttribute);
        cookie.isHostOnly = false;
    } else {
        cookie.domain = String(parts->host);
        cookie.isHostOnly = true;
    }
    cookie.path = String(path.empty() ? defaultPath(parts->path) : path);
    return cookie;
}

String HTTPCookieStorage::cookieHeaderForCookies(const std::vector<HTTPCookie>& cookies)
{
    String header;
    for (const auto& cookie : cookies) {
        if (!header.isEmpty())
            header += "; ";
        header += cookie.name + "=" + cookie.value;
    }
    return header;
}

void HTTPCookieStorage::setCookie(const HTTPCookie& cookie)
{
    std::lock_guard lock(m_mutex);
    auto existing = std::ranges::find_if(m_cookies, [&](const Stored& s) { return sameCookie(s.cookie, cookie); });
    if (isExpired(cookie, Date::now())) {
        if (existing != m_cookies.end())
            m_cookies.erase(existing);
        return;
    }
    if (existing != m_cookies.end()) {
        // A replaced cookie keeps its place among equal paths, as its creation time is kept.
        existing->cookie = cookie;
        return;
    }
    m_cookies.push_back({ cookie, m_nextOrder++ });
}

void HTTPCookieStorage::setCookiesFromHeaders(const std::vector<String>& setCookieHeaders, const String& url)
{
    for (const auto& header : setCookieHeaders) {
        if (auto cookie = cookieFromSetCookieHeader(header, url))
            setCookie(*cookie);
    }
}

void HTTPCookieStorage::deleteCookie(const HTTPCookie& cookie)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_cookies, [&](const Stored& s) { return sameCookie(s.cookie, cookie); });
}

void HTTPCookieStorage::removeAllCookies()
{
    std::lock_guard lock(m_mutex);
    m_cookies.clear();
}

void HTTPCookieStorage::dropExpired() const
{
    auto now = Date::now();
    std::erase_if(m_cookies, [&](const Stored& s) { return isExpired(s.cookie, now); });
}

std::vector<HTTPCookie> HTTPCookieStorage::cookiesForURL(const String& url) const
{
    auto parts = detail::parseURL(url);
    if (!parts || (parts->scheme != "http" && parts->scheme != "https"))
        return {};
    std::lock_guard lock(m_mutex);
    dropExpired();
    std::vector<const Stored*> matching;
    for (const auto& stored : m_cookies) {
        const auto& c = stored.cookie;
        auto domain = c.domain.utf8();
        bool hostMatches = c.isHostOnly ? parts->host == domain : domainMatches(parts->host, domain);
        if (hostMatches && pathMatches(parts->path, c.path.utf8()) && (!c.isSecure || parts->scheme == "https"))
            matching.push_back(&stored);
    }
    std::ranges::sort(matching, [](const Stored* a, const Stored* b) {
        if (a->cookie.path.length() != b->cookie.path.length())
            return a->cookie.path.length() > b->cookie.path.length();
        return a->order < b->order;
    });
    std::vector<HTTPCookie> result;
    for (const auto* stored : matching)
        result.push_back(stored->cookie);
    return result;
}

std::vector<HTTPCookie> HTTPCookieStorage::cookies() const
{
    std::lock_guard lock(m_mutex);
    dropExpired();
    std::vector<HTTPCookie> result;
    for (const auto& stored : m_cookies)
        result.push_back(stored.cookie);
    return result;
}

}
