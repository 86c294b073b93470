#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <memory>

namespace gfx {
class Image;
}

namespace ui {

// The picture of an in-process drag in a window of its own, above every other window and following the mouse
// inside and outside our windows: borderless, see-through and deaf to the mouse, so the windows under it still
// see the drag (under X11 an override-redirect window). An image without a size shows nothing.
class DragImageWindow {
public:
    // Shown at once, the image's lower left corner at the screen point.
    DragImageWindow(const std::shared_ptr<gfx::Image>& image, gfx::Point imageOrigin);
    ~DragImageWindow();
    DragImageWindow(const DragImageWindow&) = delete;
    DragImageWindow& operator=(const DragImageWindow&) = delete;

    void moveTo(gfx::Point imageOrigin);
    // nullptr when the image has no size.
    const std::shared_ptr<Window>& window() const { return m_window; }

private:
    std::shared_ptr<Window> m_window;
};

// The window that shows the picture of the in-process drag under way; nullptr when no drag runs in this process or
// its picture has no size.
std::shared_ptr<Window> draggedImageWindow();

}
