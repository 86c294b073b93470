#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Geometry.h"

#include <memory>

// Shapes and small geometric helpers both tab-bar families draw and lay out with.
namespace tbcore {

// Which ends of a tab shape are rounded, and how it is finished.
namespace CapMask {
inline constexpr unsigned Left = 0x1;
inline constexpr unsigned Right = 0x2;
inline constexpr unsigned Flipped = 0x1000;
inline constexpr unsigned Sides = 0x2000;
}

// An open card outline over the rect, drawn from the edge at maxY: rounded ends where the mask asks, straight sides
// with CapMask::Sides, mirrored top to bottom with CapMask::Flipped.
std::shared_ptr<gfx::BezierPath> cardPath(gfx::Rect rect, double radius, unsigned capMask);
// A closed outline starting and ending at the middle of the maxY edge; without a cap and without CapMask::Sides the
// end has no edge (a move instead of a line).
std::shared_ptr<gfx::BezierPath> roundedPath(gfx::Rect rect, double radius, unsigned capMask);
// Mirrors the rect's interior top to bottom: y becomes 2·rect.y + rect.height − y.
gfx::AffineTransform flipVertical(gfx::Rect rect);

// How an image size is fitted into a box, with the platform's image-scaling values.
enum class ImageScaling { ProportionallyDown = 0, AxesIndependently = 1, None = 2, ProportionallyUpOrDown = 3 };
gfx::Size scaleImageSizeToFit(gfx::Size image, gfx::Size box, ImageScaling scaling);

// Titles of the overflow menus: longer than `length` units gives the first length − 1 and an ellipsis, so the result
// is exactly `length` long (lengths below 1 are taken as 1).
fnd::String truncateTitle(const fnd::String& title, fnd::Index length);

}
