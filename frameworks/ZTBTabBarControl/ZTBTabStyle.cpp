#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"

FND_REGISTER_CLASS(ZTBTabStyle, fnd::Object)

tbcore::TabStyleRegistry<ZTBTabStyle>& ZTBTabStyleRegistry::shared()
{
    static tbcore::TabStyleRegistry<ZTBTabStyle> registry;
    return registry;
}
