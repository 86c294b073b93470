#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>

namespace fnd::detail {

// The folder of the bundle whose executable registered the class, when one did.
std::optional<String> pathOfBundleThatLoadedClass(const String& className);

}
