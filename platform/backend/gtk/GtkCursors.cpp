#include "platform/backend/gtk/GtkCursors.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Window.h"

#include <cmath>
#include <cstring>

namespace ui {

namespace {

// The image drawn at twice its size when the screen has twice the pixels, as a texture GDK can show.
GdkTexture* textureForImage(gfx::Image& image, int scale)
{
    auto size = image.size();
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
    auto pixels = bitmap->pixelBuffer();
    GBytes* bytes = g_bytes_new(pixels.data, std::size_t(pixels.stride) * std::size_t(pixels.height));
    GdkTexture* texture = gdk_memory_texture_new(width, height, GDK_MEMORY_DEFAULT, bytes, std::size_t(pixels.stride));
    g_bytes_unref(bytes);
    return texture;
}

}

GtkCursors::GtkCursors(GtkBackend& backend)
    : m_backend(backend)
{
    Cursor::setChangeHandler([this](const std::shared_ptr<Cursor>& cursor) { show(cursor); });
}

GtkCursors::~GtkCursors()
{
    Cursor::setChangeHandler(nullptr);
    for (auto& [key, cursor] : m_made)
        g_object_unref(cursor);
}

GdkCursor* GtkCursors::cursorFor(const std::shared_ptr<Cursor>& cursor)
{
    if (!cursor)
        return nullptr;
    auto found = m_made.find(cursor.get());
    if (found != m_made.end())
        return found->second;
    GdkCursor* made = nullptr;
    if (!cursor->systemName().isEmpty()) {
        made = gdk_cursor_new_from_name(cursor->systemName().utf8().c_str(), nullptr);
    } else if (cursor->image()) {
        int scale = m_backend.display().scale();
        if (GdkTexture* texture = textureForImage(*cursor->image(), scale)) {
            // GDK reads the hot spot in the texture's pixels.
            made = gdk_cursor_new_from_texture(
                texture, int(cursor->hotSpot().x * scale), int(cursor->hotSpot().y * scale), nullptr);
            g_object_unref(texture);
        }
    }
    if (made)
        m_made[cursor.get()] = made;
    return made;
}

void GtkCursors::show(const std::shared_ptr<Cursor>& cursor)
{
    m_current = cursorFor(cursor);
    for (const auto& window : Application::shared().windows())
        if (auto* host = m_backend.hostFor(*window))
            gtk_widget_set_cursor(host->canvas(), m_current);
}

}
