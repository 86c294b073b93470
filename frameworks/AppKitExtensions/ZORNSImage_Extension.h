#pragma once

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include <memory>

// Tinted, darkened and normalised copies of images, a bitmap of an image, and short forms of drawing one.
//
// The bitmaps made here take the image's size in points as pixels, but never more pixels on a side than the bitmap
// they are drawn from holds (a picture of 5 pixels that declares 1 pixel per metre is 14,173 points a side) nor, for
// any image, more than 4,096 a side (the thumbnailer's bound, the aspect kept).
namespace ZORNSImage_Extension {

// A copy with the colour laid over its opaque pixels (source-atop: the image's alpha is kept), as one bitmap of the
// image's size in points.
std::shared_ptr<gfx::Image> zorTintedImageWithColor(const gfx::Image& image, const gfx::Color& color);
// One point per pixel: the image and its first bitmap get that bitmap's pixel size. The image itself is returned;
// without a bitmap nothing changes.
std::shared_ptr<gfx::Image> normalizeSize(const std::shared_ptr<gfx::Image>& image);
// A copy in 8-bit RGB (with alpha when the source has it) whose every colour sample is lowered by
// trunc(256 − 255·c) for the colour's component c, stopping at 0; alpha is kept. So white lowers each sample by 1 and
// black clears the colour. It keeps the image's size in points; its pixels sample the source's nearest ones. nullptr
// when the image's first representation is not a bitmap.
std::shared_ptr<gfx::Image> darkenedImageWithColor(const gfx::Image& image, const gfx::Color& color);
// The image drawn whole into a bitmap of its size in points, taken as whole pixels (bounded as above), in the drawing
// context's own layout (premultiplied ARGB32); nullptr for an empty image. Safe off the main thread.
std::shared_ptr<gfx::BitmapImageRep> imageRefCopy(const gfx::Image& image);
// The whole image at the point, opaque or at the fraction.
void drawAtPoint(const gfx::Image& image, gfx::Point point, gfx::CompositingOperation operation);
void drawAtPoint(const gfx::Image& image, gfx::Point point, gfx::CompositingOperation operation, double fraction);

}
