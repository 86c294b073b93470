#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"

#include <mutex>

namespace ZORFrameworkBundle {

void registerClassPrefixes()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* prefix : { "ZOR", "ZHK", "ZRX", "ZFM", "DVN", "QF", "KJ", "ZTB", "KR", "TBQ", "AI" })
            fnd::Bundle::registerClassPrefix(prefix, Name);
    });
}

std::shared_ptr<fnd::Bundle> bundle()
{
    registerClassPrefixes();
    return fnd::Bundle::bundleWithName(Name);
}

namespace {
[[maybe_unused]] const bool registeredAtLoad = (registerClassPrefixes(), true);
}

}
