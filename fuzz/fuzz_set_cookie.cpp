#include "platform/foundation/services/CookieStore.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Set-Cookie values come from any server: parse them against a fixed page and send the result back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    fnd::HTTPCookieStorage storage;
    storage.setCookiesFromHeaders({ fnd::String(text) }, "https://www.example.com/shop/cart");
    auto cookies = storage.cookiesForURL("https://www.example.com/shop/cart/item");
    (void)fnd::HTTPCookieStorage::cookieHeaderForCookies(cookies);
    return 0;
}
