#include "platform/backend/gtk/GtkAccessibilityBridge.h"

#include "platform/backend/gtk/GtkAccessible.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Application.h"

#include <atk-bridge.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <vector>

namespace ui {

namespace {

namespace AXNote = AccessibilityNotification;

// ATK's global event listeners: the ATK bridge asks to hear signals of ATK's types ("Gtk:AtkObject:state-change",
// "Atk:AtkWindow:activate"); each becomes an emission hook on that signal, whoever emits it.
struct BridgeEventListener {
    guint signal;
    gulong hook;
};

std::map<guint, BridgeEventListener>& bridgeEventListeners()
{
    static std::map<guint, BridgeEventListener> listeners;
    return listeners;
}

guint bridgeAddGlobalEventListener(GSignalEmissionHook listener, const gchar* eventType)
{
    std::vector<std::string> parts;
    std::stringstream stream(eventType ? eventType : "");
    for (std::string part; std::getline(stream, part, ':');)
        parts.push_back(part);
    // The older "window:create" form has no type; refusing it makes the ATK bridge ask for AtkWindow's signals.
    if (parts.size() < 3)
        return 0;
    GType type = g_type_from_name(parts[1].c_str());
    if (!type)
        return 0;
    guint signal = g_signal_lookup(parts[2].c_str(), type);
    if (!signal)
        return 0;
    GQuark detail = parts.size() > 3 ? g_quark_from_string(parts[3].c_str()) : 0;
    gulong hook = g_signal_add_emission_hook(signal, detail, listener, nullptr, nullptr);
    static guint nextId = 1;
    guint id = nextId++;
    bridgeEventListeners()[id] = { signal, hook };
    return id;
}

void bridgeRemoveGlobalEventListener(guint id)
{
    auto& listeners = bridgeEventListeners();
    if (auto found = listeners.find(id); found != listeners.end()) {
        g_signal_remove_emission_hook(found->second.signal, found->second.hook);
        listeners.erase(found);
    }
}

AtkObject* bridgeGetRoot()
{
    return GtkAccessibilityBridge::shared().root();
}

const gchar* bridgeToolkitName()
{
    return "Barcodes";
}

const gchar* bridgeToolkitVersion()
{
    return "1.0";
}

// The ATK types whose signals the ATK bridge listens to must exist before it asks for them by name.
void registerAtkTypes()
{
    for (GType type : { atk_object_get_type(), atk_component_get_type(), atk_action_get_type(), atk_text_get_type(),
             atk_editable_text_get_type(), atk_value_get_type(), atk_selection_get_type(), atk_window_get_type(),
             atk_table_get_type(), atk_document_get_type(), atk_hypertext_get_type() }) {
        if (G_TYPE_IS_INTERFACE(type))
            g_type_default_interface_ref(type);
        else
            g_type_class_ref(type);
    }
}

}

GtkAccessibilityBridge& GtkAccessibilityBridge::shared()
{
    static auto* bridge = new GtkAccessibilityBridge;
    return *bridge;
}

GtkAccessibilityBridge::GtkAccessibilityBridge()
{
    registerAtkTypes();
    addAccessibilityObserver(this);
}

bool GtkAccessibilityBridge::publish()
{
    if (m_published)
        return true;
    if (const char* off = std::getenv("NO_AT_BRIDGE"); off && std::strcmp(off, "1") == 0)
        return false;
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS") && !std::getenv("AT_SPI_BUS_ADDRESS"))
        return false;
    auto* util = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));
    util->get_root = bridgeGetRoot;
    util->get_toolkit_name = bridgeToolkitName;
    util->get_toolkit_version = bridgeToolkitVersion;
    util->add_global_event_listener = bridgeAddGlobalEventListener;
    util->remove_global_event_listener = bridgeRemoveGlobalEventListener;
    m_published = atk_bridge_adaptor_init(nullptr, nullptr) == 0;
    if (!m_published)
        fnd::log("The accessibility bus could not be reached: assistive technologies will not see this program.");
    return m_published;
}

AtkObject* GtkAccessibilityBridge::accessibleFor(AccessibilityElement& element)
{
    if (auto* existing = existingAccessibleFor(element))
        return existing;
    // An element that lives in no shared_ptr cannot be kept track of.
    if (!accessibilityObject(element))
        return nullptr;
    auto* accessible = gtkaccessible::create(element);
    m_accessibles[&element] = accessible;
    return accessible;
}

AtkObject* GtkAccessibilityBridge::existingAccessibleFor(const AccessibilityElement& element) const
{
    auto found = m_accessibles.find(&element);
    return found == m_accessibles.end() ? nullptr : found->second;
}

AtkObject* GtkAccessibilityBridge::root()
{
    return accessibleFor(Application::shared());
}

void GtkAccessibilityBridge::hold(AtkObject*& slot, AtkObject* accessible)
{
    if (accessible)
        g_object_ref(accessible);
    if (slot)
        g_object_unref(slot);
    slot = accessible;
}

void GtkAccessibilityBridge::accessibilityNotification(AccessibilityElement& element, const fnd::String& notification)
{
    // Whatever it tells, the children listed so far may be others now.
    gtkaccessible::treeChanged();
    if (notification == AXNote::ChildrenChanged || notification == AXNote::RowCountChanged) {
        if (auto* accessible = existingAccessibleFor(element))
            gtkaccessible::emitChildrenChanges(accessible);
        return;
    }
    if (notification == AXNote::FocusedUIElementChanged) {
        const bool fresh = !existingAccessibleFor(element);
        auto* accessible = accessibleFor(element);
        if (!accessible || accessible == m_focused)
            return;
        auto* previous = m_focused;
        if (previous)
            g_object_ref(previous);
        hold(m_focused, accessible);
        if (previous) {
            gtkaccessible::emitChanges(previous);
            g_object_unref(previous);
        }
        // A new object already counts the focus among its states, and one that kept it while something else had
        // the keyboard (a field while a menu was open) has it again: tell it either way.
        auto changed = fresh ? 0 : gtkaccessible::emitChanges(accessible);
        if (!(changed & (std::uint64_t(1) << unsigned(ATK_STATE_FOCUSED))))
            atk_object_notify_state_change(accessible, ATK_STATE_FOCUSED, true);
        return;
    }
    if (notification == AXNote::FocusedWindowChanged) {
        auto* accessible = accessibleFor(element);
        if (!accessible)
            return;
        if (m_activeWindow && m_activeWindow != accessible) {
            g_signal_emit_by_name(m_activeWindow, "deactivate");
            gtkaccessible::emitChanges(m_activeWindow);
        }
        hold(m_activeWindow, accessible);
        g_signal_emit_by_name(accessible, "activate");
        gtkaccessible::emitChanges(accessible);
        return;
    }
    if (notification == AXNote::WindowCreated) {
        if (auto* accessible = accessibleFor(element); accessible && ATK_IS_WINDOW(accessible))
            g_signal_emit_by_name(accessible, "create");
        return;
    }
    if (notification == AXNote::MenuOpened || notification == AXNote::MenuClosed) {
        // The menu's items show or hide with it; ATK may know them as children of the item opening the menu, with
        // no object of the menu's own.
        std::vector<const AccessibilityElement*> touched { &element };
        for (const auto& item : accessibilityElements(element, AccessibilityAttribute::Children))
            touched.push_back(dynamic_cast<const AccessibilityElement*>(item.get()));
        touched.push_back(accessibilityElement(accessibilityAttribute(element, AccessibilityAttribute::Parent)));
        for (const auto* each : touched)
            if (auto* accessible = each ? existingAccessibleFor(*each) : nullptr)
                gtkaccessible::emitChanges(accessible);
        return;
    }
    auto* accessible = existingAccessibleFor(element);
    if (!accessible)
        return;
    if (notification == AXNote::UIElementDestroyed) {
        if (ATK_IS_WINDOW(accessible))
            g_signal_emit_by_name(accessible, "destroy");
        if (accessible == m_activeWindow)
            hold(m_activeWindow, nullptr);
        gtkaccessible::emitChanges(accessible);
        return;
    }
    if (notification == AXNote::Moved || notification == AXNote::Resized) {
        if (auto rect = gtkaccessible::screenRectFor(element))
            g_signal_emit_by_name(accessible, "bounds-changed", &*rect);
        return;
    }
    if (notification == AXNote::SelectedChildrenChanged || notification == AXNote::SelectedRowsChanged) {
        if (ATK_IS_SELECTION(accessible))
            g_signal_emit_by_name(accessible, "selection-changed");
        gtkaccessible::emitChanges(accessible);
        // The selected states of the children clients were handed changed with it.
        if (auto* state = gtkaccessible::stateOf(accessible)) {
            std::vector<AtkObject*> held;
            for (const auto& child : state->children)
                if (child.accessible)
                    held.push_back(ATK_OBJECT(g_object_ref(child.accessible)));
            for (auto* child : held) {
                gtkaccessible::emitChanges(child);
                g_object_unref(child);
            }
        }
        // Clients do not walk the items of a list or table: its selected one is told as its active descendant.
        if (gtkaccessible::managesDescendants(element)) {
            auto selected = accessibilityElements(element,
                notification == AXNote::SelectedRowsChanged ? AccessibilityAttribute::SelectedRows
                                                            : AccessibilityAttribute::SelectedChildren);
            if (auto* active
                = selected.empty() ? nullptr : gtkaccessible::accessibleForValue(fnd::Value(selected.front())))
                g_signal_emit_by_name(accessible, "active-descendant-changed", active);
        }
        return;
    }
    gtkaccessible::emitChanges(accessible);
    // The focused element may be described by this one (a field by its error): its description follows.
    if (m_focused && m_focused != accessible
        && (notification == AXNote::ValueChanged || notification == AXNote::TitleChanged))
        gtkaccessible::emitChanges(m_focused);
}

void GtkAccessibilityBridge::accessibilityElementDestroyed(const AccessibilityElement* element)
{
    // A child gone leaves its parent's listed children behind (an element may go without a notification).
    gtkaccessible::treeChanged();
    auto found = m_accessibles.find(element);
    if (found == m_accessibles.end())
        return;
    auto* accessible = found->second;
    m_accessibles.erase(found);
    gtkaccessible::markDefunct(accessible);
    if (accessible == m_focused)
        hold(m_focused, nullptr);
    if (accessible == m_activeWindow)
        hold(m_activeWindow, nullptr);
    g_object_unref(accessible);
}

namespace gtkaccessible {

AtkObject* accessibleForValue(const fnd::Value& element)
{
    auto* e = accessibilityElement(element);
    return e ? GtkAccessibilityBridge::shared().accessibleFor(*e) : nullptr;
}

AtkObject* existingAccessibleForElement(const AccessibilityElement& element)
{
    return GtkAccessibilityBridge::shared().existingAccessibleFor(element);
}

void performLater(AtkObject* accessible, const fnd::String& action)
{
    auto* state = stateOf(accessible);
    if (!state)
        return;
    std::weak_ptr<fnd::Object> object = state->object;
    auto* element = state->element;
    fnd::RunLoop::main().post([object, element, action] {
        if (auto alive = object.lock())
            element->accessibilityPerformAction(action);
    });
}

}

}
