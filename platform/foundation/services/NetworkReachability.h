#pragma once

#include "platform/foundation/runtime/String.h"

namespace fnd {

// Whether the network could carry traffic to the host now, as the system's network monitor judges it: the name
// resolves and a route leads there. Nothing is sent to the host. Blocks while the name is resolved.
bool isHostReachable(const String& hostName);

}
