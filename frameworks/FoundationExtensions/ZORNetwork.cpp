#include "frameworks/FoundationExtensions/ZORNetwork.h"

#include "platform/foundation/services/NetworkReachability.h"

bool ZORNetwork::checkIfSiteReachable(const fnd::String& hostName)
{
    return fnd::isHostReachable(hostName);
}
