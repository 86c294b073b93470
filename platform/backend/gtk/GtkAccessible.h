#pragma once

#include "platform/ui/accessibility/AccessibilityElement.h"

#include <atk/atk.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The accessible objects (ATK) that stand for the elements of our accessibility tree on the desktop's accessibility
// bus, where the ATK-to-AT-SPI bridge publishes them. One GObject type per combination of the interfaces an element
// needs (text, value, action, ...), so that assistive technologies see only the interfaces that mean something.
namespace ui::gtkaccessible {

// A child as its parent's object last listed it: the element while it lives, and the child's accessible object when
// one exists (held, so that its leaving can be told after its element is gone).
struct ListedChild {
    std::weak_ptr<fnd::Object> object;
    const AccessibilityElement* element { nullptr };
    AtkObject* accessible { nullptr };
};

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
    // The children as last listed, in the tree's generation they were listed in (GtkAccessibleChildren.cpp): kept
    // while nothing in the tree changes, so a client reading every child has them listed once, not once per child.
    std::vector<ListedChild> children;
    std::uint64_t childrenGeneration { 0 };
    // Someone asked for the children: their changes are told from then on.
    bool childrenKnown { false };
    // The listed children's indexes, made when an index is first asked for in the generation.
    std::unordered_map<const AccessibilityElement*, std::size_t> childIndexes;
    std::uint64_t childIndexesGeneration { 0 };
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
// The children (GtkAccessibleChildren.cpp). The tree changed (a notification, an element's end): every object lists
// its children again when next asked.
void treeChanged();
// The children as ATK shows them, listed again when the tree changed since they were; each child's object is made
// only when it is asked for (childAt), so a count makes none.
const std::vector<ListedChild>& listedChildren(AtkObject* accessible);
// The child's object (borrowed: the parent's list holds it), made on first use; nullptr past the end.
AtkObject* childAt(AtkObject* accessible, std::size_t index);
// The index of the element among the parent's children; -1 when it is none of them.
long indexOfChild(AtkObject* parent, const AccessibilityElement& child);
// Lets go of the listed children (the object is finalised).
void releaseChildren(State& state);
// Lists the children again and emits each removal and addition: the removal of each child that has an object
// (clients were handed it), the addition of each new one, by its place alone when the parent manages its
// descendants (clients ask for those they need).
void emitChildrenChanges(AtkObject* accessible);

// The mapping of our tree onto ATK's (GtkAccessibleMapping.cpp).
unsigned interfacesFor(const AccessibilityElement& element);
AtkRole roleFor(const AccessibilityElement& element);
std::uint64_t statesFor(const AccessibilityElement& element);
std::string nameFor(const AccessibilityElement& element);
std::string descriptionFor(const AccessibilityElement& element);
// The value in words (a colour well's colour); nullopt for an element that tells none.
std::optional<std::string> valueTextFor(const AccessibilityElement& element);
// Whether clients are to ask for the children they need instead of enumerating them (tables, outlines, lists).
bool managesDescendants(const AccessibilityElement& element);
// The element's children and parent as ATK shows them: a submenu's items are the children of the item opening it.
std::vector<Live> accessibleChildrenOf(const AccessibilityElement& element);
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
// The object the bridge has for the element, made or not (borrowed; nullptr for none).
AtkObject* existingAccessibleForElement(const AccessibilityElement& element);
// Performs the action on the element after the current call returns (the bus waits for the call's answer, and an
// action may run a modal loop).
void performLater(AtkObject* accessible, const fnd::String& action);

// The interface initialisers (GtkAccessibleText.cpp for text, GtkAccessibleObject.cpp for the others).
void initText(AtkTextIface* iface);
void initEditableText(AtkEditableTextIface* iface);

}
