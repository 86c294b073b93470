#include "platform/backend/gtk/GtkBackend.h"

#include "platform/ui/Dragging.h"

namespace ui {

std::optional<DragResult> GtkBackend::dragImage(View&, const std::shared_ptr<gfx::Image>&, gfx::Point, gfx::Point,
    const std::shared_ptr<Pasteboard>&, const std::shared_ptr<fnd::Object>&, bool)
{
    return std::nullopt;
}

}
