#include "platform/graphics/ImageRep.h"

namespace gfx {

FND_REGISTER_CLASS(ImageRep, fnd::Object)

}
