#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/TrackingArea.h"

#include <functional>
#include <memory>
#include <vector>

namespace gfx {
class Image;
}

namespace ui {

// The mouse pointer's picture: a standard one the window system draws (named by its freedesktop cursor name), or
// an image with a hot spot. One cursor is current; push and pop keep a stack of them for a temporary change.
class Cursor : public fnd::Object, public SettableCursor {
    FND_OBJECT(Cursor)

public:
    Cursor() = default;
    // The hot spot is in the image's flipped coordinates (from its top left), as the window system reads it.
    static std::shared_ptr<Cursor> create(std::shared_ptr<gfx::Image> image, gfx::Point hotSpot);

    static std::shared_ptr<Cursor> arrowCursor();
    static std::shared_ptr<Cursor> IBeamCursor();
    static std::shared_ptr<Cursor> pointingHandCursor();
    static std::shared_ptr<Cursor> closedHandCursor();
    static std::shared_ptr<Cursor> openHandCursor();
    static std::shared_ptr<Cursor> crosshairCursor();
    static std::shared_ptr<Cursor> resizeLeftCursor();
    static std::shared_ptr<Cursor> resizeRightCursor();
    static std::shared_ptr<Cursor> resizeLeftRightCursor();
    static std::shared_ptr<Cursor> resizeUpCursor();
    static std::shared_ptr<Cursor> resizeDownCursor();
    static std::shared_ptr<Cursor> resizeUpDownCursor();
    static std::shared_ptr<Cursor> operationNotAllowedCursor();
    static std::shared_ptr<Cursor> dragLinkCursor();
    static std::shared_ptr<Cursor> dragCopyCursor();
    static std::shared_ptr<Cursor> contextualMenuCursor();
    static std::shared_ptr<Cursor> disappearingItemCursor();

    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    gfx::Point hotSpot() const { return m_hotSpot; }
    // The freedesktop name of a standard cursor ("default", "text", "pointer", "ew-resize"...); empty for an image
    // cursor.
    const fnd::String& systemName() const { return m_systemName; }

    // Makes this the current cursor.
    void set() override;
    // Sets this cursor, remembering the one it replaces for pop().
    void push();
    // Returns to the cursor current before the last push (the arrow when the stack is empty).
    static void pop();
    static std::shared_ptr<Cursor> currentCursor();
    // Told of every change of the current cursor (the window-system backend shows it).
    static void setChangeHandler(std::function<void(const std::shared_ptr<Cursor>&)> handler);

private:
    static std::shared_ptr<Cursor> standard(const char* systemName, gfx::Point hotSpot);

    std::shared_ptr<gfx::Image> m_image;
    gfx::Point m_hotSpot;
    fnd::String m_systemName;
};

}
