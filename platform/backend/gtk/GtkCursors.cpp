#include "platform/backend/gtk/GtkCursors.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkTextures.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Window.h"

namespace ui {

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
