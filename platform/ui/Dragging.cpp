#include "platform/ui/Dragging.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Application.h"
#include "platform/ui/Event.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <map>

namespace ui {

namespace {

struct Registration {
    std::weak_ptr<fnd::Object> view;
    std::vector<fnd::String> types;
};

// Keyed by address; an entry whose view is gone (or replaced by another at the same address) does not count.
std::map<const View*, Registration>& registrations()
{
    static std::map<const View*, Registration> table;
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

long nextSequenceNumber = 0;

class DragSession final : public DraggingInfo {
public:
    DragSession(
        std::shared_ptr<gfx::Image> image, std::shared_ptr<Pasteboard> pasteboard, std::shared_ptr<fnd::Object> source)
        : m_image(std::move(image))
        , m_pasteboard(std::move(pasteboard))
        , m_source(std::move(source))
        , m_sourceCallbacks(dynamic_cast<DraggingSource*>(m_source.get()))
        , m_sequenceNumber(++nextSequenceNumber)
    {
        m_sourceMask
            = m_sourceCallbacks ? m_sourceCallbacks->draggingSourceOperationMaskForLocal(true) : DragOperations::Every;
    }

    DragResult run(gfx::Point imageOrigin, gfx::Point mouse, bool slideBack)
    {
        m_grab = { imageOrigin.x - mouse.x, imageOrigin.y - mouse.y };
        m_mouse = mouse;
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
            if (!released || m_mouse != previous || m_modifiers != previousModifiers)
                moveTo(m_mouse);
        }

        DragResult result;
        result.endedAt = imageLocationOnScreen();
        const bool accepted = released && drop();
        result.operation = accepted ? m_operation : DragOperations::None;
        result.slidBack = !accepted && slideBack;
        result.finalImageLocation = result.slidBack ? imageOrigin : result.endedAt;
        if (m_sourceCallbacks)
            m_sourceCallbacks->draggedImageEndedAt(*m_image, result.endedAt, result.operation);
        return result;
    }

    // DraggingInfo.
    std::shared_ptr<Window> draggingDestinationWindow() const override { return m_window; }
    DragOperation draggingSourceOperationMask() const override
    {
        DragOperation mask = m_sourceMask;
        if (m_sourceCallbacks && m_sourceCallbacks->ignoreModifierKeysWhileDragging())
            return mask;
        // Held keys ask for one operation: Option a copy, Control a link, Command whatever the destination
        // chooses.
        if (m_modifiers & ModifierFlags::Alternate)
            mask &= DragOperations::Copy;
        if (m_modifiers & ModifierFlags::Control)
            mask &= DragOperations::Link;
        if (m_modifiers & ModifierFlags::Command)
            mask &= DragOperations::Generic;
        return mask;
    }
    gfx::Point draggingLocation() const override { return m_window ? m_window->convertScreenToBase(m_mouse) : m_mouse; }
    gfx::Point draggedImageLocation() const override
    {
        const auto origin = imageLocationOnScreen();
        return m_window ? m_window->convertScreenToBase(origin) : origin;
    }
    std::shared_ptr<gfx::Image> draggedImage() const override { return m_image; }
    std::shared_ptr<Pasteboard> draggingPasteboard() const override { return m_pasteboard; }
    std::shared_ptr<fnd::Object> draggingSource() const override { return m_source; }
    long draggingSequenceNumber() const override { return m_sequenceNumber; }

private:
    gfx::Point imageLocationOnScreen() const { return { m_mouse.x + m_grab.width, m_mouse.y + m_grab.height }; }

    // The front-most window of ours under the point that takes mouse events.
    static std::shared_ptr<Window> windowAt(gfx::Point screenPoint)
    {
        for (const auto& window : Application::shared().orderedWindows())
            if (window->isVisible() && !window->ignoresMouseEvents() && gfx::pointInRect(screenPoint, window->frame()))
                return window;
        return nullptr;
    }

    std::shared_ptr<View> destinationAt(const Window& window, gfx::Point screenPoint) const
    {
        const auto types = m_pasteboard ? m_pasteboard->types() : std::vector<fnd::String> {};
        for (auto view = window.hitTestViews(window.convertScreenToBase(screenPoint)); view; view = view->superview()) {
            const auto* registration = registrationOf(*view);
            if (!registration || !dynamic_cast<DraggingDestination*>(view.get()))
                continue;
            if (std::ranges::any_of(registration->types,
                    [&](const fnd::String& type) { return std::ranges::find(types, type) != types.end(); }))
                return view;
        }
        return nullptr;
    }

    DragOperation allowed(DragOperation operation) const { return operation & draggingSourceOperationMask(); }

    void moveTo(gfx::Point screenPoint)
    {
        auto window = windowAt(screenPoint);
        auto view = window ? destinationAt(*window, screenPoint) : nullptr;
        if (view != m_destination) {
            if (m_destination)
                destination()->draggingExited(*this);
            m_destination = view;
            m_window = window;
            m_operation = m_destination ? allowed(destination()->draggingEntered(*this)) : DragOperations::None;
        } else {
            m_window = window;
            if (m_destination)
                if (auto operation = destination()->draggingUpdated(*this))
                    m_operation = allowed(*operation);
        }
        if (m_sourceCallbacks)
            m_sourceCallbacks->draggedImageMovedTo(*m_image, imageLocationOnScreen());
    }

    bool drop()
    {
        if (!m_destination)
            return false;
        auto keep = m_destination; // the destination may leave its window while it handles the drop
        auto* target = destination();
        bool accepted = false;
        if (m_operation == DragOperations::None)
            target->draggingExited(*this);
        else if (target->prepareForDragOperation(*this) && target->performDragOperation(*this)) {
            target->concludeDragOperation(*this);
            accepted = true;
        }
        target->draggingEnded(*this);
        return accepted;
    }

    DraggingDestination* destination() const { return dynamic_cast<DraggingDestination*>(m_destination.get()); }

    std::shared_ptr<gfx::Image> m_image;
    std::shared_ptr<Pasteboard> m_pasteboard;
    std::shared_ptr<fnd::Object> m_source;
    DraggingSource* m_sourceCallbacks;
    long m_sequenceNumber;
    DragOperation m_sourceMask { DragOperations::None };
    unsigned m_modifiers { 0 };
    gfx::Size m_grab;
    gfx::Point m_mouse;
    std::shared_ptr<View> m_destination;
    std::shared_ptr<Window> m_window;
    DragOperation m_operation { DragOperations::None };
};

}

void registerForDraggedTypes(View& view, const std::vector<fnd::String>& types)
{
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
    DragSession session(image ? image : std::make_shared<gfx::Image>(), pasteboard, source);
    return session.run(imageOrigin, mouse, slideBack);
}

}
