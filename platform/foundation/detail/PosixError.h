#pragma once

#include "platform/foundation/runtime/Error.h"

namespace fnd::detail {

// An error in the POSIX domain for errno `code`: the description names what was being done and the path, the
// failure reason is the system's text, and the path is kept under ErrorKey::FilePath.
Error posixError(int code, const char* doing, const String& path);

}
