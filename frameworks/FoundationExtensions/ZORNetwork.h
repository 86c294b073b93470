#pragma once

#include "platform/foundation/runtime/String.h"

class ZORNetwork {
public:
    // Whether the system's network monitor sees a route to the host (its name resolved); nothing is sent to it.
    static bool checkIfSiteReachable(const fnd::String& hostName);
};
