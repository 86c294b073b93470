#include "platform/ui/views/Responder.h"

#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

namespace ui {

FND_REGISTER_CLASS(Responder, fnd::Object)

namespace {

// Passes the event on, or ends at the chain's end like the platform (a key press nobody takes beeps).
template <typename Hook> void passOn(Responder& self, const Event& event, Hook hook, const char* selectorName)
{
    if (auto next = self.nextResponder())
        ((*next).*hook)(event);
    else
        self.noResponderFor(fnd::Selector(selectorName));
}

}

void Responder::mouseDown(const Event& e)
{
    passOn(*this, e, &Responder::mouseDown, "mouseDown:");
}
void Responder::mouseUp(const Event& e)
{
    passOn(*this, e, &Responder::mouseUp, "mouseUp:");
}
void Responder::mouseDragged(const Event& e)
{
    passOn(*this, e, &Responder::mouseDragged, "mouseDragged:");
}
void Responder::mouseMoved(const Event& e)
{
    passOn(*this, e, &Responder::mouseMoved, "mouseMoved:");
}
void Responder::mouseEntered(const Event& e)
{
    passOn(*this, e, &Responder::mouseEntered, "mouseEntered:");
}
void Responder::mouseExited(const Event& e)
{
    passOn(*this, e, &Responder::mouseExited, "mouseExited:");
}
void Responder::rightMouseDown(const Event& e)
{
    passOn(*this, e, &Responder::rightMouseDown, "rightMouseDown:");
}
void Responder::rightMouseUp(const Event& e)
{
    passOn(*this, e, &Responder::rightMouseUp, "rightMouseUp:");
}
void Responder::rightMouseDragged(const Event& e)
{
    passOn(*this, e, &Responder::rightMouseDragged, "rightMouseDragged:");
}
void Responder::otherMouseDown(const Event& e)
{
    passOn(*this, e, &Responder::otherMouseDown, "otherMouseDown:");
}
void Responder::otherMouseUp(const Event& e)
{
    passOn(*this, e, &Responder::otherMouseUp, "otherMouseUp:");
}
void Responder::otherMouseDragged(const Event& e)
{
    passOn(*this, e, &Responder::otherMouseDragged, "otherMouseDragged:");
}
void Responder::scrollWheel(const Event& e)
{
    passOn(*this, e, &Responder::scrollWheel, "scrollWheel:");
}
void Responder::swipeWithEvent(const Event& e)
{
    passOn(*this, e, &Responder::swipeWithEvent, "swipeWithEvent:");
}
void Responder::magnifyWithEvent(const Event& e)
{
    passOn(*this, e, &Responder::magnifyWithEvent, "magnifyWithEvent:");
}
void Responder::rotateWithEvent(const Event& e)
{
    passOn(*this, e, &Responder::rotateWithEvent, "rotateWithEvent:");
}
void Responder::keyDown(const Event& e)
{
    passOn(*this, e, &Responder::keyDown, "keyDown:");
}
void Responder::keyUp(const Event& e)
{
    passOn(*this, e, &Responder::keyUp, "keyUp:");
}
void Responder::flagsChanged(const Event& e)
{
    passOn(*this, e, &Responder::flagsChanged, "flagsChanged:");
}
void Responder::cursorUpdate(const Event& e)
{
    passOn(*this, e, &Responder::cursorUpdate, "cursorUpdate:");
}

bool Responder::performKeyEquivalent(const Event&)
{
    return false;
}

bool Responder::tryToPerform(fnd::Selector action, const fnd::Value& object)
{
    auto self = weak_from_this().lock(); // the action may drop the last other reference
    if (respondsTo(action)) {
        perform(action, object);
        return true;
    }
    if (auto next = nextResponder())
        return next->tryToPerform(action, object);
    return false;
}

void Responder::noResponderFor(fnd::Selector eventSelector)
{
    if (eventSelector == fnd::Selector("keyDown:"))
        Application::shared().beep();
}

void Responder::dispatchEvent(const Event& event)
{
    switch (event.type()) {
    case EventType::LeftMouseDown:
        return mouseDown(event);
    case EventType::LeftMouseUp:
        return mouseUp(event);
    case EventType::LeftMouseDragged:
        return mouseDragged(event);
    case EventType::MouseMoved:
        return mouseMoved(event);
    case EventType::MouseEntered:
        return mouseEntered(event);
    case EventType::MouseExited:
        return mouseExited(event);
    case EventType::RightMouseDown:
        return rightMouseDown(event);
    case EventType::RightMouseUp:
        return rightMouseUp(event);
    case EventType::RightMouseDragged:
        return rightMouseDragged(event);
    case EventType::OtherMouseDown:
        return otherMouseDown(event);
    case EventType::OtherMouseUp:
        return otherMouseUp(event);
    case EventType::OtherMouseDragged:
        return otherMouseDragged(event);
    case EventType::ScrollWheel:
        return scrollWheel(event);
    case EventType::Swipe:
        return swipeWithEvent(event);
    case EventType::Magnify:
        return magnifyWithEvent(event);
    case EventType::Rotate:
        return rotateWithEvent(event);
    case EventType::KeyDown:
        return keyDown(event);
    case EventType::KeyUp:
        return keyUp(event);
    case EventType::FlagsChanged:
        return flagsChanged(event);
    case EventType::CursorUpdate:
        return cursorUpdate(event);
    default:
        return;
    }
}

bool validateItem(fnd::Object& target, fnd::Selector validator, const fnd::Value& item)
{
    if (!target.respondsTo(validator))
        return true;
    return target.perform(validator, item).boolValue();
}

}
