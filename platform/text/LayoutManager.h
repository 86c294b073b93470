#pragma once

#include "platform/foundation/Object.h"
#include "platform/graphics/Font.h"

namespace txt {

class LayoutManager : public fnd::Object {
    FND_OBJECT(LayoutManager)
public:
    LayoutManager() = default;

    // ascender − descender + leading of the font, unrounded: the same for every call with the same font.
    double defaultLineHeightForFont(const gfx::Font& font) const;
};

}
