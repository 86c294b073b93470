#include "platform/ui/dragging/DropSession.h"

#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

namespace {

long nextSequenceNumber = 0;

}

std::shared_ptr<Window> windowForDragAt(gfx::Point screenPoint)
{
    for (const auto& window : Application::shared().orderedWindows())
        if (window->isVisible() && !window->ignoresMouseEvents() && gfx::pointInRect(screenPoint, window->frame()))
            return window;
    return nullptr;
}

DropSession::DropSession(std::shared_ptr<gfx::Image> image, std::shared_ptr<Pasteboard> pasteboard,
    std::shared_ptr<fnd::Object> source, DragOperation sourceMask, bool ignoresModifiers)
    : m_image(std::move(image))
    , m_pasteboard(std::move(pasteboard))
    , m_source(std::move(source))
    , m_sourceMask(sourceMask)
    , m_ignoresModifiers(ignoresModifiers)
    , m_sequenceNumber(++nextSequenceNumber)
{
}

DragOperation DropSession::draggingSourceOperationMask() const
{
    DragOperation mask = m_sourceMask;
    if (m_ignoresModifiers)
        return mask;
    // Held keys ask for one operation: Option a copy, Control a link, Command whatever the destination chooses.
    if (m_modifiers & ModifierFlags::Alternate)
        mask &= DragOperations::Copy;
    if (m_modifiers & ModifierFlags::Control)
        mask &= DragOperations::Link;
    if (m_modifiers & ModifierFlags::Command)
        mask &= DragOperations::Generic;
    return mask;
}

gfx::Point DropSession::draggingLocation() const
{
    return m_window ? m_window->convertScreenToBase(m_mouse) : m_mouse;
}

gfx::Point DropSession::draggedImageLocation() const
{
    const auto origin = imageLocationOnScreen();
    return m_window ? m_window->convertScreenToBase(origin) : origin;
}

std::shared_ptr<View> DropSession::destinationAt(const Window& window, gfx::Point screenPoint) const
{
    const auto types = m_pasteboard ? m_pasteboard->types() : std::vector<fnd::String> {};
    // The toolbar's view takes drops too (items dragged into it while it is customised).
    for (auto view = window.hitTestViews(window.convertScreenToBase(screenPoint)); view; view = view->superview()) {
        if (!dynamic_cast<DraggingDestination*>(view.get()))
            continue;
        const auto registered = registeredDraggedTypes(*view);
        if (std::ranges::any_of(
                registered, [&](const fnd::String& type) { return std::ranges::find(types, type) != types.end(); }))
            return view;
    }
    return nullptr;
}

DraggingDestination* DropSession::destination() const
{
    return dynamic_cast<DraggingDestination*>(m_destination.get());
}

DragOperation DropSession::moveTo(gfx::Point screenPoint, unsigned modifiers)
{
    m_mouse = screenPoint;
    m_modifiers = modifiers;
    auto window = windowForDragAt(screenPoint);
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
    return m_operation;
}

void DropSession::exit()
{
    if (!m_destination)
        return;
    auto keep = m_destination;
    destination()->draggingExited(*this);
    destination()->draggingEnded(*this);
    m_destination.reset();
    m_operation = DragOperations::None;
}

bool DropSession::drop()
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
    m_destination.reset();
    return accepted;
}

}
