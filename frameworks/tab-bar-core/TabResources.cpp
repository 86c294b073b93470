#include "frameworks/tab-bar-core/TabResources.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/Image.h"

#include <map>
#include <mutex>
#include <utility>

namespace tbcore {

std::shared_ptr<fnd::Bundle> bundleOfClass(const fnd::String& className)
{
    // The framework's classes find their resources in the framework's bundle.
    ZORFrameworkBundle::registerClassPrefixes();
    return fnd::Bundle::bundleForClass(className);
}

std::shared_ptr<gfx::Image> namedImage(const fnd::String& bundleClassName, const fnd::String& name)
{
    static std::mutex lock;
    static std::map<std::pair<std::string, std::string>, std::shared_ptr<gfx::Image>> cache;
    std::lock_guard guard(lock);
    auto key = std::make_pair(bundleClassName.utf8(), name.utf8());
    if (auto found = cache.find(key); found != cache.end())
        return found->second;
    std::shared_ptr<gfx::Image> image;
    if (auto bundle = bundleOfClass(bundleClassName))
        image = gfx::Image::imageForResource(*bundle, name);
    cache[key] = image;
    return image;
}

double springingDelay()
{
    auto value = fnd::UserDefaults::standardUserDefaults().objectForKey(SpringingDelayDefaultsKey);
    if (value.isNumber())
        return value.doubleValue() / 1000.0;
    return 0.668;
}

}
