#include "platform/ui/views/Cursor.h"

#include "platform/graphics/Image.h"

#include <map>

namespace ui {

FND_REGISTER_CLASS(Cursor, fnd::Object)

namespace {

struct CursorState {
    std::shared_ptr<Cursor> current;
    std::vector<std::shared_ptr<Cursor>> stack;
    std::function<void(const std::shared_ptr<Cursor>&)> changeHandler;
    std::map<std::string, std::shared_ptr<Cursor>> standard;
};

// Cursors belong to the main thread, as the windows do.
CursorState& cursorState()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& instance = *new CursorState;
    return instance;
}

void makeCurrent(const std::shared_ptr<Cursor>& cursor)
{
    auto& s = cursorState();
    if (s.current == cursor)
        return;
    s.current = cursor;
    if (s.changeHandler)
        s.changeHandler(cursor);
}

// Outside every cursor rect the arrow shows.
[[maybe_unused]] const bool arrowIsTheDefault = (setDefaultCursor(Cursor::arrowCursor()), true);

}

std::shared_ptr<Cursor> Cursor::create(std::shared_ptr<gfx::Image> image, gfx::Point hotSpot)
{
    auto cursor = fnd::makeObject<Cursor>();
    cursor->m_image = std::move(image);
    cursor->m_hotSpot = hotSpot;
    return cursor;
}

std::shared_ptr<Cursor> Cursor::standard(const char* systemName, gfx::Point hotSpot)
{
    auto& cursor = cursorState().standard[systemName];
    if (!cursor) {
        cursor = fnd::makeObject<Cursor>();
        cursor->m_systemName = systemName;
        cursor->m_hotSpot = hotSpot;
    }
    return cursor;
}

// Hot spots of the standard cursors in their usual 16-point pictures.
std::shared_ptr<Cursor> Cursor::arrowCursor()
{
    return standard("default", { 4, 4 });
}
std::shared_ptr<Cursor> Cursor::IBeamCursor()
{
    return standard("text", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::pointingHandCursor()
{
    return standard("pointer", { 6, 1 });
}
std::shared_ptr<Cursor> Cursor::closedHandCursor()
{
    return standard("grabbing", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::openHandCursor()
{
    return standard("grab", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::crosshairCursor()
{
    return standard("crosshair", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::resizeLeftCursor()
{
    return standard("w-resize", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::resizeRightCursor()
{
    return standard("e-resize", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::resizeLeftRightCursor()
{
    return standard("ew-resize", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::resizeUpCursor()
{
    return standard("n-resize", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::resizeDownCursor()
{
    return standard("s-resize", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::resizeUpDownCursor()
{
    return standard("ns-resize", { 8, 8 });
}
std::shared_ptr<Cursor> Cursor::operationNotAllowedCursor()
{
    return standard("not-allowed", { 4, 4 });
}
std::shared_ptr<Cursor> Cursor::dragLinkCursor()
{
    return standard("alias", { 4, 4 });
}
std::shared_ptr<Cursor> Cursor::dragCopyCursor()
{
    return standard("copy", { 4, 4 });
}
std::shared_ptr<Cursor> Cursor::contextualMenuCursor()
{
    return standard("context-menu", { 4, 4 });
}
std::shared_ptr<Cursor> Cursor::disappearingItemCursor()
{
    return standard("no-drop", { 4, 4 });
}

void Cursor::set()
{
    makeCurrent(std::static_pointer_cast<Cursor>(weak_from_this().lock()));
}

void Cursor::push()
{
    auto self = std::static_pointer_cast<Cursor>(weak_from_this().lock());
    cursorState().stack.push_back(currentCursor());
    makeCurrent(self);
}

void Cursor::pop()
{
    auto& s = cursorState();
    if (s.stack.empty()) {
        makeCurrent(arrowCursor());
        return;
    }
    auto previous = s.stack.back();
    s.stack.pop_back();
    makeCurrent(previous ? previous : arrowCursor());
}

std::shared_ptr<Cursor> Cursor::currentCursor()
{
    auto& s = cursorState();
    if (!s.current)
        s.current = arrowCursor();
    return s.current;
}

void Cursor::setChangeHandler(std::function<void(const std::shared_ptr<Cursor>&)> handler)
{
    cursorState().changeHandler = std::move(handler);
}

}
