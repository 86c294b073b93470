#include "platform/foundation/detail/PosixError.h"

#include <cstring>
#include <fmt/format.h>

namespace fnd::detail {

namespace {

std::string systemText(int code)
{
    char buffer[256];
    // The GNU form: returns the text, which may or may not be in the buffer.
    return strerror_r(code, buffer, sizeof buffer);
}

}

Error posixError(int code, const char* doing, const String& path)
{
    auto reason = systemText(code);
    auto error = Error::make(ErrorDomain::POSIX, code,
        String(fmt::format("Could not {} \u201c{}\u201d: {}.", doing, path.utf8(), reason)), String(reason));
    error.userInfo().set(ErrorKey::FilePath, path);
    return error;
}

}
