#include "frameworks/QFTabBarView/QFTabStyle.h"

FND_REGISTER_CLASS(QFTabStyle, fnd::Object)

tbcore::TabStyleRegistry<QFTabStyle>& QFTabStyleRegistry::shared()
{
    static tbcore::TabStyleRegistry<QFTabStyle> registry;
    return registry;
}
