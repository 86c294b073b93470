#include "frameworks/FoundationExtensions/ZORNSURLExtension.h"

#include "platform/foundation/services/URLConnection.h"

namespace ZORNSURLExtension {

bool httpIsValid(const fnd::String& url)
{
    fnd::URLRequest request(url);
    request.setHTTPMethod("HEAD");
    auto result = fnd::URLConnection::sendSynchronousRequest(request);
    if (!result)
        return false;
    auto status = result->response.statusCode();
    return status == 200 || status == 405;
}

}
