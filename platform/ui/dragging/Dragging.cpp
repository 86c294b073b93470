#include "platform/ui/dragging/Dragging.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/DragImageWindow.h"
#include "platform/ui/dragging/DropSession.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <map>

namespace ui {

namespace {

struct Registration {
    std::weak_ptr<fnd::Object> view;
    std::vector<fnd::String> types;
};

// Keyed by address; an entry whose view is gone (or replaced by another at the same address) does not count. A
// view takes its entry away as it goes, so the table holds only views that are alive. Never destroyed: views a
// program keeps past main still reach it while they are destroyed.
std::map<const View*, Registration>& registrations()
{
    static auto& table = *new std::map<const View*, Registration>;
    return table;
}

const Registration* registrationOf(const View& view)
{
    auto& table = registrations();
    auto found = table.find(&view);
    if (found == table.end())
        return nullptr;
    if (found->second.view.lock().get() != &view) {
        table.erase(found);
        return nullptr;
    }
    return &found->second;
}

gfx::Point toScreen(const Window* window, gfx::Point base)
{
    return window ? window->convertBaseToScreen(base) : base;
}

// The source side of an in-process drag: follows the mouse from the tracking loop's events, tells the source of
// the drag's course and drives a drop session for the destinations.
class DragSession {
public:
    DragSession(
        std::shared_ptr<gfx::Image> image, std::shared_ptr<Pasteboard> pasteboard, std::shared_ptr<fnd::Object> source)
        : m_image(std::move(image))
        , m_sourceCallbacks(dynamic_cast<DraggingSource*>(source.get()))
        , m_drop(m_image, std::move(pasteboard), source,
              m_sourceCallbacks ? m_sourceCallbacks->draggingSourceOperationMaskForLocal(true) : DragOperations::Every,
              m_sourceCallbacks && m_sourceCallbacks->ignoreModifierKeysWhileDragging())
    {
    }

    DragResult run(gfx::Point imageOrigin, gfx::Point mouse, bool slideBack)
    {
        m_drop.setImageOffset({ imageOrigin.x - mouse.x, imageOrigin.y - mouse.y });
        m_mouse = mouse;
        // The picture follows the mouse until the release, held where it was grabbed.
        auto picture = std::make_unique<DragImageWindow>(m_image, imageOrigin);
        if (m_sourceCallbacks)
            m_sourceCallbacks->draggedImageBeganAt(*m_image, imageOrigin);

        auto& application = Application::shared();
        const EventMask mask = EventMasks::LeftMouseDragged | EventMasks::LeftMouseUp | EventMasks::MouseMoved
            | EventMasks::FlagsChanged;
        bool released = false;
        while (!released) {
            auto event = application.nextEvent(mask, fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
            // No more input will come (the queue ran dry for good): the drag ends where it is, unaccepted.
            if (!event)
                break;
            const gfx::Point previous = m_mouse;
            const unsigned previousModifiers = m_modifiers;
            m_modifiers = event->modifierFlags();
            if (event->type() != EventType::FlagsChanged)
                m_mouse = toScreen(event->window().get(), event->locationInWindow());
            released = event->type() == EventType::LeftMouseUp;
            // A release where the last drag left the mouse drops without another update.
            if (!released || m_mouse != previous || m_modifiers != previousModifiers) {
                m_drop.moveTo(m_mouse, m_modifiers);
                picture->moveTo(m_drop.imageLocationOnScreen());
                if (m_sourceCallbacks)
                    m_sourceCallbacks->draggedImageMovedTo(*m_image, m_drop.imageLocationOnScreen());
            }
        }

        picture.reset();
        DragResult result;
        result.endedAt = m_drop.imageLocationOnScreen();
        const bool accepted = released && m_drop.drop();
        result.operation = accepted ? m_drop.operation() : DragOperations::None;
        result.slidBack = !accepted && slideBack;
        result.finalImageLocation = result.slidBack ? imageOrigin : result.endedAt;
        if (m_sourceCallbacks)
            m_sourceCallbacks->draggedImageEndedAt(*m_image, result.endedAt, result.operation);
        return result;
    }

private:
    std::shared_ptr<gfx::Image> m_image;
    DraggingSource* m_sourceCallbacks;
    DropSession m_drop;
    unsigned m_modifiers { 0 };
    gfx::Point m_mouse;
};

}

void registerForDraggedTypes(View& view, const std::vector<fnd::String>& types)
{
    // A view going away takes its registration with it: one block with its count, as make_shared allocates it,
    // would otherwise stay held for as long as the program runs.
    detail::setViewGoneHandler(&detail::forgetDraggedTypes);
    auto& registration = registrations()[&view];
    if (registration.view.lock().get() != &view)
        registration = { view.weak_from_this(), {} };
    for (const auto& type : types)
        if (std::ranges::find(registration.types, type) == registration.types.end())
            registration.types.push_back(type);
}

void unregisterDraggedTypes(View& view)
{
    registrations().erase(&view);
}

namespace detail {

void forgetDraggedTypes(const View& view)
{
    // Every view goes through here: the table is searched only when it holds anything.
    auto& table = registrations();
    if (!table.empty())
        table.erase(&view);
}

}

std::vector<fnd::String> registeredDraggedTypes(const View& view)
{
    const auto* registration = registrationOf(view);
    return registration ? registration->types : std::vector<fnd::String> {};
}

DragResult dragImage(View& view, const std::shared_ptr<gfx::Image>& image, gfx::Point at, gfx::Size offset,
    const Event& mouseDown, const std::shared_ptr<Pasteboard>& pasteboard, const std::shared_ptr<fnd::Object>& source,
    bool slideBack)
{
    auto keepView = view.weak_from_this().lock();
    auto window = view.window();
    const gfx::Point imageBase = view.convertPointToView(at, nullptr);
    const gfx::Point imageOrigin = toScreen(window.get(), { imageBase.x + offset.width, imageBase.y + offset.height });
    const gfx::Point mouse = toScreen(window.get(), mouseDown.locationInWindow());
    // A window system that can take the drag to other programs runs it; the in-process loop otherwise.
    if (auto result = Backend::current().dragImage(view, image, imageOrigin, mouse, pasteboard, source, slideBack))
        return *result;
    DragSession session(image ? image : std::make_shared<gfx::Image>(), pasteboard, source);
    return session.run(imageOrigin, mouse, slideBack);
}

// A backend without drags of its own leaves them to the in-process drag (dragImage above).
std::optional<DragResult> Backend::dragImage(View&, const std::shared_ptr<gfx::Image>&, gfx::Point, gfx::Point,
    const std::shared_ptr<Pasteboard>&, const std::shared_ptr<fnd::Object>&, bool)
{
    return std::nullopt;
}

}
