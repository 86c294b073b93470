#include "platform/foundation/detail/PlatformText.h"

#include "platform/foundation/files/Bundle.h"

namespace fnd::detail {

String platformText(const String& key, const String& table)
{
    static const std::shared_ptr<Bundle> bundle = Bundle::bundleWithName("Foundation");
    if (!bundle)
        return key;
    return bundle->localizedStringForKey(key, key, table);
}

}
