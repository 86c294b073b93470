#pragma once

#include "platform/foundation/runtime/String.h"

#include <memory>
#include <vector>

namespace gfx {
class Image;
}

namespace ui {

// The desktop's small standard glyphs by the platform's names ("NSAddTemplate", "NSRemoveTemplate", ...): black
// shapes on transparency, drawn at any scale, for buttons to show as they are or tinted. Each image is made once
// and registered under its name, so gfx::Image::imageNamed finds it afterwards. nullptr for an unknown name.
std::shared_ptr<gfx::Image> standardImage(const fnd::String& name);
// The names standardImage knows.
const std::vector<fnd::String>& standardImageNames();

}
