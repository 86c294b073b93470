#include "platform/foundation/detail/URLParts.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace fnd::detail {

namespace {

struct URLHandleDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};

std::optional<std::string> part(CURLU* handle, CURLUPart which)
{
    char* text = nullptr;
    if (curl_url_get(handle, which, &text, 0) != CURLUE_OK || !text)
        return std::nullopt;
    std::string value(text);
    curl_free(text);
    return value;
}

}

std::optional<URLParts> parseURL(const String& url)
{
    std::unique_ptr<CURLU, URLHandleDeleter> handle(curl_url());
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.utf8().c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    auto scheme = part(handle.get(), CURLUPART_SCHEME);
    auto host = part(handle.get(), CURLUPART_HOST);
    if (!scheme || !host)
        return std::nullopt;
    URLParts parts;
    parts.scheme = *scheme;
    parts.host = *host;
    std::ranges::transform(parts.scheme, parts.scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    std::ranges::transform(parts.host, parts.host.begin(), [](unsigned char c) { return std::tolower(c); });
    auto path = part(handle.get(), CURLUPART_PATH);
    parts.path = path && !path->empty() ? std::move(*path) : std::string(1, '/');
    return parts;
}

}
