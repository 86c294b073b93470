#include "platform/foundation/services/NetworkReachability.h"

#include <gio/gio.h>

namespace fnd {

bool isHostReachable(const String& hostName)
{
    if (hostName.isEmpty())
        return false;
    // The default monitor is owned by GIO and lives for the process.
    GNetworkMonitor* monitor = g_network_monitor_get_default();
    if (!monitor)
        return false;
    GSocketConnectable* address = g_network_address_new(hostName.utf8().c_str(), 0);
    if (!address)
        return false;
    GError* error = nullptr;
    bool reachable = g_network_monitor_can_reach(monitor, address, nullptr, &error);
    g_clear_error(&error);
    g_object_unref(address);
    return reachable;
}

}
