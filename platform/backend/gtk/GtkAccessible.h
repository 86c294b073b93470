#pragma once

#include "platform/ui/accessibility/AccessibilityElement.h"

#include <atk/atk.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The accessible objects (ATK) that stand for the elements of our accessibility tree on the desktop's accessibility
// bus, where the ATK-to-AT-SPI bridge publishes them. One GObject type per combination of the interfaces an element
// needs (text, value, action, ...), so that assistive technologies see only the interfaces that mean something.
namespace ui::gtkaccessible {

// What an accessible object keeps: its element while the element lives, and what it last told the bus, so a
// notification can emit only what changed.
struct State {
    std::weak_ptr<fnd::Object> object;
    AccessibilityElement* element { nullptr };
    unsigned interfaces { 0 };
    std::string name;
    std::string description;
    std::string text;
    std::optional<double> value;
    std::uint64_t states { 0 };
    long caret { -1 };
    // The children last reported (no references held: compared by address).
    std::vector<AtkObject*> children;
    bool childrenKnown { false };
    // Strings handed out through ATK's const char* answers live here until asked again.
    std::vector<std::string> actionNames;
    std::vector<std::string> actionDescriptions;
    std::string keybinding;
    std::string locale;
};

// The interfaces an accessible object implements, beyond AtkObject and AtkComponent.
namespace Interface {
constexpr unsigned Action = 1;
constexpr unsigned Text = 2;
constexpr unsigned EditableText = 4;
constexpr unsigned Value = 8;
constexpr unsigned Selection = 16;
constexpr unsigned Window = 32;
}

// An element together with the object that keeps it alive while it is read.
struct Live {
    std::shared_ptr<fnd::Object> object;
    AccessibilityElement* element { nullptr };
    explicit operator bool() const { return element != nullptr; }
};

// A new accessible object for the element, owned by the caller (the bridge keeps one per element).
AtkObject* create(AccessibilityElement& element);
State* stateOf(AtkObject* accessible);
Live liveElement(AtkObject* accessible);
// The element is gone: the object answers as defunct from now on.
void markDefunct(AtkObject* accessible);

// Reads the element again and emits the changes of name, description, value, text, caret and states; answers the
// states that changed.
std::uint64_t emitChanges(AtkObject* accessible);
// Reads the children again and emits each removal and addition.
void emitChildrenChanges(AtkObject* accessible);

// The mapping of our tree onto ATK's (GtkAccessibleMapping.cpp).
unsigned interfacesFor(const AccessibilityElement& element);
AtkRole roleFor(const AccessibilityElement& element);
std::uint64_t statesFor(const AccessibilityElement& element);
std::string nameFor(const AccessibilityElement& element);
std::string descriptionFor(const AccessibilityElement& element);
// The value in words (a colour well's colour); nullopt for an element that tells none.
std::optional<std::string> valueTextFor(const AccessibilityElement& element);
// The element's children and parent as ATK shows them: a submenu's items are the children of the item opening it.
std::vector<AtkObject*> accessibleChildrenOf(const AccessibilityElement& element);
fnd::Value accessibleParentOf(const AccessibilityElement& element);
// ATK's name of an action ("click" for press), and back.
std::string atkActionName(const fnd::String& action);
// The text a text element shows (its value, or its title for a label without one).
fnd::String textFor(const AccessibilityElement& element);
std::optional<double> numericValueFor(const AccessibilityElement& element);
// The element's rectangle on the screen, in the X root's device pixels (y down); nullopt when it has none.
std::optional<AtkRectangle> screenRectFor(const AccessibilityElement& element);
AtkRectangle screenRectForRect(gfx::Rect rect);
// A point of the X root in device pixels, as a point of our screen (y up, points).
gfx::Point screenPointFromRoot(int x, int y);

// Conversions between UTF-16 indexes (ours) and character offsets (ATK's).
long characterOffsetFor(const fnd::String& text, fnd::Index utf16Index);
fnd::Index utf16IndexFor(const fnd::String& text, long characterOffset);

// The bridge's side of the objects (GtkAccessibilityBridge.cpp): the bridge's object for an element value
// (borrowed; nullptr for a value that is no element).
AtkObject* accessibleForValue(const fnd::Value& element);
// Performs the action on the element after the current call returns (the bus waits for the call's answer, and an
// action may run a modal loop).
void performLater(AtkObject* accessible, const fnd::String& action);

// The interface initialisers (GtkAccessibleText.cpp for text, GtkAccessibleObject.cpp for the others).
void initText(AtkTextIface* iface);
void initEditableText(AtkEditableTextIface* iface);

}
