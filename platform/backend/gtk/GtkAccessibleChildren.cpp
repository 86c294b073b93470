// The children of the accessible objects: listed once while the tree stays as it is, each child's object made when a
// client asks for that child, and the changes told by comparing lists through a table, not a search per child.
//
// A client reads a parent of n children as a count and n requests for one child each (and often each child's index
// in its parent); listing the children for every request cost n² (a flow view of 5,000 pictures froze its program
// for seconds on every read). A list stays valid until the tree changes: every notification and every element's end
// is a change (the bridge calls treeChanged), since the elements tell each change of their children that way.

#include "platform/backend/gtk/GtkAccessible.h"

#include <unordered_set>

namespace ui::gtkaccessible {

namespace {

// Starts above the generation of a list never made (0).
std::uint64_t accessibleTreeGeneration = 1;

void holdChild(ListedChild& child, AtkObject* accessible)
{
    if (accessible)
        g_object_ref(accessible);
    child.accessible = accessible;
}

void releaseListed(std::vector<ListedChild>& children)
{
    for (auto& child : children)
        if (child.accessible)
            g_object_unref(child.accessible);
    children.clear();
}

// The element's children now, with the objects that exist for them.
std::vector<ListedChild> listChildren(const AccessibilityElement& element)
{
    auto elements = accessibleChildrenOf(element);
    std::vector<ListedChild> children;
    children.reserve(elements.size());
    for (const auto& child : elements) {
        children.push_back({ child.object, child.element, nullptr });
        holdChild(children.back(), existingAccessibleForElement(*child.element));
    }
    return children;
}

bool isGone(const ListedChild& child)
{
    return child.object.expired();
}

// The listed children of the object, listed again when the tree changed since.
std::vector<ListedChild>* currentChildren(AtkObject* accessible)
{
    auto* state = stateOf(accessible);
    auto live = liveElement(accessible);
    if (!state || !live)
        return nullptr;
    state->childrenKnown = true;
    if (state->childrenGeneration != accessibleTreeGeneration) {
        auto children = listChildren(*live.element);
        releaseListed(state->children);
        state->children = std::move(children);
        state->childrenGeneration = accessibleTreeGeneration;
    }
    return &state->children;
}

}

void treeChanged()
{
    ++accessibleTreeGeneration;
}

const std::vector<ListedChild>& listedChildren(AtkObject* accessible)
{
    static const std::vector<ListedChild> none;
    auto* children = currentChildren(accessible);
    return children ? *children : none;
}

AtkObject* childAt(AtkObject* accessible, std::size_t index)
{
    auto* children = currentChildren(accessible);
    if (!children || index >= children->size())
        return nullptr;
    auto& child = (*children)[index];
    if (!child.accessible) {
        auto object = child.object.lock();
        if (!object)
            return nullptr;
        holdChild(child, accessibleForValue(fnd::Value(object)));
    }
    return child.accessible;
}

long indexOfChild(AtkObject* parent, const AccessibilityElement& child)
{
    auto* children = currentChildren(parent);
    if (!children)
        return -1;
    auto& state = *stateOf(parent);
    if (state.childIndexesGeneration != state.childrenGeneration) {
        state.childIndexes.clear();
        for (std::size_t i = children->size(); i-- > 0;)
            state.childIndexes[(*children)[i].element] = i;
        state.childIndexesGeneration = state.childrenGeneration;
    }
    auto found = state.childIndexes.find(&child);
    return found == state.childIndexes.end() ? -1 : long(found->second);
}

void releaseChildren(State& state)
{
    releaseListed(state.children);
    state.childIndexes.clear();
}

void emitChildrenChanges(AtkObject* accessible)
{
    auto live = liveElement(accessible);
    auto* state = stateOf(accessible);
    if (!live || !state->childrenKnown)
        return;
    // The new list is in place before any signal: handlers of a signal read the children.
    auto before = std::move(state->children);
    state->children = listChildren(*live.element);
    state->childrenGeneration = accessibleTreeGeneration;
    state->childIndexesGeneration = 0;
    const auto& after = state->children;
    std::unordered_set<const AccessibilityElement*> stayed;
    stayed.reserve(after.size());
    for (const auto& child : after)
        stayed.insert(child.element);
    // Removals from the end, so each index is the child's place at its removal; a child gone may have left its
    // address to a new element.
    std::unordered_set<const AccessibilityElement*> kept;
    kept.reserve(before.size());
    for (std::size_t i = before.size(); i-- > 0;) {
        const auto& child = before[i];
        bool left = isGone(child) || !stayed.contains(child.element);
        if (!left)
            kept.insert(child.element);
        else if (child.accessible)
            g_signal_emit_by_name(accessible, "children-changed::remove", guint(i), child.accessible);
    }
    // Then the additions in order, each at its place in the new list. A parent managing its descendants tells
    // where they came without handing them out (no object is made for them): its clients ask for those they need.
    bool manages = managesDescendants(*live.element);
    for (std::size_t i = 0; i < state->children.size(); ++i) {
        if (kept.contains(state->children[i].element))
            continue;
        if (manages)
            g_signal_emit_by_name(accessible, "children-changed::add", guint(i), nullptr);
        else if (auto* child = childAt(accessible, i))
            g_signal_emit_by_name(accessible, "children-changed::add", guint(i), child);
    }
    releaseListed(before);
}

}
