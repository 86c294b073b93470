// A plug-in whose principal class is an object but no preference pane.

#include "platform/foundation/runtime/Object.h"

class ZORTestNotAPane : public fnd::Object {
    FND_OBJECT(ZORTestNotAPane)
};

FND_REGISTER_CLASS(ZORTestNotAPane, fnd::Object)
