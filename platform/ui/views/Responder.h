#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/views/Forward.h"

#include <memory>

namespace ui {

// A link in the responder chain. Input hooks pass the event up the chain by default; actions are the runtime's
// per-class action table (declared in describeClass), so `respondsTo(action)` answers whether a responder handles it.
// Every responder (views, windows, the application) is an accessibility element.
class Responder : public fnd::Object, public AccessibilityElement {
    FND_OBJECT(Responder)
public:
    Responder() = default;

    std::shared_ptr<Responder> nextResponder() const { return m_nextResponder.lock(); }
    virtual void setNextResponder(const std::shared_ptr<Responder>& responder) { m_nextResponder = responder; }

    virtual bool acceptsFirstResponder() const { return false; }
    virtual bool becomeFirstResponder() { return true; }
    virtual bool resignFirstResponder() { return true; }

    // Input hooks; each default passes the event to the next responder.
    virtual void mouseDown(const Event& event);
    virtual void mouseUp(const Event& event);
    virtual void mouseDragged(const Event& event);
    virtual void mouseMoved(const Event& event);
    virtual void mouseEntered(const Event& event);
    virtual void mouseExited(const Event& event);
    virtual void rightMouseDown(const Event& event);
    virtual void rightMouseUp(const Event& event);
    virtual void rightMouseDragged(const Event& event);
    virtual void otherMouseDown(const Event& event);
    virtual void otherMouseUp(const Event& event);
    virtual void otherMouseDragged(const Event& event);
    virtual void scrollWheel(const Event& event);
    // Touchpad gestures.
    virtual void swipeWithEvent(const Event& event);
    virtual void magnifyWithEvent(const Event& event);
    virtual void rotateWithEvent(const Event& event);
    virtual void keyDown(const Event& event);
    virtual void keyUp(const Event& event);
    virtual void flagsChanged(const Event& event);
    virtual void cursorUpdate(const Event& event);
    // Key equivalents travel down the view tree instead of up the chain; true when handled.
    virtual bool performKeyEquivalent(const Event& event);

    // Performs the action with the argument on the first responder up the chain that answers it.
    virtual bool tryToPerform(fnd::Selector action, const fnd::Value& object);
    // The end of the chain: an unhandled key press beeps.
    virtual void noResponderFor(fnd::Selector eventSelector);

    const std::shared_ptr<Menu>& menu() const { return m_menu; }
    virtual void setMenu(const std::shared_ptr<Menu>& menu) { m_menu = menu; }

    // Calls the input hook that handles the event's type.
    void dispatchEvent(const Event& event);

private:
    std::weak_ptr<Responder> m_nextResponder;
    std::shared_ptr<Menu> m_menu;
};

// Whether a target enables an item (a menu item, a toolbar item): it asks the target's validator action
// ("validateMenuItem:", "validateUserInterfaceItem:") with the item when the target declares one, and a target
// without a validator enables the item.
bool validateItem(fnd::Object& target, fnd::Selector validator, const fnd::Value& item);

}
