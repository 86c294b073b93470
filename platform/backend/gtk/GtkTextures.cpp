#include "platform/backend/gtk/GtkTextures.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include <cmath>

namespace ui {

GdkTexture* textureForImage(gfx::Image& image, int scale)
{
    auto size = image.size();
    if (size.width <= 0 || size.height <= 0)
        return nullptr;
    int width = std::max(1, int(std::ceil(size.width * scale)));
    int height = std::max(1, int(std::ceil(size.height * scale)));
    auto bitmap = gfx::BitmapImageRep::create(width, height, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return nullptr;
    bitmap->setSize(size);
    {
        auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer(), size, false);
        gfx::CurrentContextScope scope(context);
        image.drawInRect({ 0, 0, size.width, size.height });
        context->flush();
    }
    // Cairo's premultiplied native-endian words are GDK's default memory format.
    auto pixels = bitmap->pixelBuffer();
    GBytes* bytes = g_bytes_new(pixels.data, std::size_t(pixels.stride) * std::size_t(pixels.height));
    GdkTexture* texture = gdk_memory_texture_new(width, height, GDK_MEMORY_DEFAULT, bytes, std::size_t(pixels.stride));
    g_bytes_unref(bytes);
    return texture;
}

}
