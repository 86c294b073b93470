#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace gfx {
class Image;
}

// The recorder's button images, drawn in code at any size and kept once made: "KRSnapback" (the arrow that ends
// recording) and "KRRemoveShortcut" with its "Rollover" and "Pressed" forms (the cross that clears it).
class KRSharedImageProvider {
public:
    // nullptr for a name it does not draw.
    static std::shared_ptr<gfx::Image> supportingImageWithName(const fnd::String& name);

    static void _drawKRSnapback(gfx::Rect rect);
    static void _drawARemoveShortcutBoxUsingRep(gfx::Rect rect, double opacity);
};

// (sin(t·π − π/2) + 1) / 2: slow at both ends.
double KRRecorderEaseInOut(double t);
