#include "frameworks/KRScoreBar/KRScopeBarBundle.h"

namespace KRScopeBarBundle {

std::shared_ptr<fnd::Bundle> bundle()
{
    static const bool registered = [] {
        fnd::Bundle::registerClassPrefix("KR", "ZORFramework");
        return true;
    }();
    (void)registered;
    return fnd::Bundle::bundleForClass("KRScopeBar");
}

}
