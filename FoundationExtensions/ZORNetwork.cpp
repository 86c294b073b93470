#include "FoundationExtensions/ZORNetwork.h"

#include "platform/foundation/NetworkReachability.h"

bool ZORNetwork::checkIfSiteReachable(const fnd::String& hostName)
{
    return fnd::isHostReachable(hostName);
}
