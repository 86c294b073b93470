#pragma once

#include <gdk/gdk.h>

namespace gfx {
class Image;
}

namespace ui {

// The image drawn at the scale (its pixels are its size in points times the scale), as a texture GDK can show;
// nullptr for an empty image.
GdkTexture* textureForImage(gfx::Image& image, int scale);

}
