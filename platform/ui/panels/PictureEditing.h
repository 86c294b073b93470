#pragma once

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"

#include <memory>
#include <optional>
#include <vector>

namespace ui {

// The picture taker's effects: whole-picture colour filters.
enum class PictureEffect { None = 0, Greyscale = 1, Sepia = 2, Invert = 3 };

// The effects in the order the picture taker offers them.
const std::vector<PictureEffect>& pictureEffects();

// The filter applied to every pixel of a premultiplied ARGB32 bitmap, in place (alpha is kept).
void applyPictureEffect(gfx::BitmapImageRep& bitmap, PictureEffect effect);

// The part `crop` of the picture (its points, y up; the whole picture when there is none, clipped to it), drawn at
// `scale` times its size (at least one point each way, at one pixel per point), with the effect applied. nullptr for
// a picture without size or a crop outside it.
std::shared_ptr<gfx::Image> editedPicture(
    const gfx::Image& picture, std::optional<gfx::Rect> crop, double scale, PictureEffect effect);

}
