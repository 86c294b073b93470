#pragma once

#include "platform/foundation/runtime/String.h"

namespace ZORNSURLExtension {

// Asks the server with a HEAD request, blocking the calling thread: true when it answers 200 or 405 (the address
// exists but does not take HEAD).
bool httpIsValid(const fnd::String& url);

}
