#include "frameworks/QFTabBarView/QFTabStyle.h"

FND_REGISTER_CLASS(QFTabStyle, fnd::Object)
