#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>
#include <string>

namespace fnd::detail {

// The pieces of an absolute http(s) address that cookies and requests need; host in lower case, path "/" when none.
struct URLParts {
    std::string scheme;
    std::string host;
    std::string path;
};

std::optional<URLParts> parseURL(const String& url);

}
