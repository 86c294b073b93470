#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace gfx {
class Image;
}

namespace ui {
class View;
}

// Derived colours, colour swatches and lines exactly one device pixel wide.
namespace ZORExtension {

// The colour's calibrated RGB components and alpha, as the drawing layer takes them; nullptr for a pattern.
gfx::ColorPtr CGColor(const gfx::Color& color);
// Exactly when the alpha is 0.
bool isTransparent(const gfx::Color& color);
// The colour at half its alpha: an opaque colour becomes half transparent.
gfx::ColorPtr disabledColor(const gfx::Color& color);
// A swatch of the colour with a black one-point frame; a transparent colour shows a black diagonal cross instead of
// nothing. Drawn without antialiasing, so the lines are crisp.
std::shared_ptr<gfx::Image> colorImageWithSize(const gfx::Color& color, gfx::Size size);

// Strokes a line one device pixel wide in the colour, inside the rectangle (in the view's coordinates), parallel to
// its width when horizontal, else to its height, `position` device pixels in from the rectangle's origin side (from
// the opposite side with flip) and `inset` pixels short of both ends. The rectangle is first snapped to whole device
// pixels in the window, so the line covers exactly one row or column. A null view draws at the zero rectangle.
void zorDrawPixelThickLineAtPosition(const gfx::Color& color, long position, long withInset, gfx::Rect inRect,
    const ui::View* inView, bool horizontal, bool flip);

}
