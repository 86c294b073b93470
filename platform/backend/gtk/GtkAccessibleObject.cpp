// The ATK objects that stand for our elements: the object itself (name, role, states, tree), and the component,
// action, value, selection and window interfaces. Text is in GtkAccessibleText.cpp.

#include "platform/backend/gtk/GtkAccessible.h"
#include "platform/backend/gtk/GtkMenuBar.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>
#include <cstring>
#include <map>

extern "C" {
struct BarcodesAccessible {
    AtkObject parent;
    ui::gtkaccessible::State* state;
};
struct BarcodesAccessibleClass {
    AtkObjectClass parent;
};
}

namespace ui::gtkaccessible {

namespace {

namespace AXAttr = AccessibilityAttribute;

GObjectClass* accessibleParentClass = nullptr;

BarcodesAccessible* asAccessible(gpointer object)
{
    return reinterpret_cast<BarcodesAccessible*>(object);
}

// AtkObject.

const gchar* accessibleGetName(AtkObject* accessible)
{
    auto* state = stateOf(accessible);
    if (auto live = liveElement(accessible))
        state->name = nameFor(*live.element);
    return state->name.c_str();
}

const gchar* accessibleGetDescription(AtkObject* accessible)
{
    auto* state = stateOf(accessible);
    if (auto live = liveElement(accessible))
        state->description = descriptionFor(*live.element);
    return state->description.c_str();
}

AtkObject* accessibleGetParent(AtkObject* accessible)
{
    auto live = liveElement(accessible);
    if (!live)
        return nullptr;
    return accessibleForValue(accessibleParentOf(*live.element));
}

gint accessibleGetNChildren(AtkObject* accessible)
{
    return gint(listedChildren(accessible).size());
}

AtkObject* accessibleRefChild(AtkObject* accessible, gint index)
{
    auto* child = index < 0 ? nullptr : childAt(accessible, std::size_t(index));
    return child ? ATK_OBJECT(g_object_ref(child)) : nullptr;
}

gint accessibleGetIndexInParent(AtkObject* accessible)
{
    auto live = liveElement(accessible);
    auto* parent = live ? accessibleGetParent(accessible) : nullptr;
    return parent ? gint(indexOfChild(parent, *live.element)) : -1;
}

AtkStateSet* accessibleRefStateSet(AtkObject* accessible)
{
    auto* set = atk_state_set_new();
    auto live = liveElement(accessible);
    if (!live) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    auto states = statesFor(*live.element);
    for (unsigned state = 0; state < 64; ++state)
        if (states & (std::uint64_t(1) << state))
            atk_state_set_add_state(set, AtkStateType(state));
    return set;
}

AtkRole accessibleGetRole(AtkObject* accessible)
{
    auto live = liveElement(accessible);
    return live ? roleFor(*live.element) : ATK_ROLE_INVALID;
}

AtkRelationSet* accessibleRefRelationSet(AtkObject* accessible_)
{
    auto* set = atk_relation_set_new();
    auto live = liveElement(accessible_);
    if (!live)
        return set;
    if (auto* label = accessibleForValue(accessibilityAttribute(*live.element, AXAttr::TitleUIElement)))
        atk_relation_set_add_relation_by_type(set, ATK_RELATION_LABELLED_BY, label);
    for (const auto& describer : accessibilityElements(*live.element, AXAttr::DescribedBy))
        if (auto* accessible = accessibleForValue(describer->selfValue()); accessible && accessible != accessible_)
            atk_relation_set_add_relation_by_type(set, ATK_RELATION_DESCRIBED_BY, accessible);
    return set;
}

// AtkComponent.

std::optional<AtkRectangle> extentsIn(AtkObject* accessible, AtkCoordType type)
{
    auto live = liveElement(accessible);
    auto rect = live ? screenRectFor(*live.element) : std::nullopt;
    if (!rect || type == ATK_XY_SCREEN)
        return rect;
    // Relative to the window (or the parent): less that one's top-left corner.
    auto relativeTo = type == ATK_XY_WINDOW ? accessibilityAttribute(*live.element, AXAttr::Window)
                                            : accessibilityAttribute(*live.element, AXAttr::Parent);
    auto* other = accessibilityElement(relativeTo);
    auto origin = other ? screenRectFor(*other) : std::nullopt;
    if (origin) {
        rect->x -= origin->x;
        rect->y -= origin->y;
    }
    return rect;
}

void componentGetExtents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height, AtkCoordType type)
{
    auto rect = extentsIn(ATK_OBJECT(component), type);
    AtkRectangle none { -1, -1, -1, -1 };
    const auto& r = rect ? *rect : none;
    if (x)
        *x = r.x;
    if (y)
        *y = r.y;
    if (width)
        *width = r.width;
    if (height)
        *height = r.height;
}

AtkObject* componentRefAccessibleAtPoint(AtkComponent* component, gint x, gint y, AtkCoordType type)
{
    auto* accessible = ATK_OBJECT(component);
    auto live = liveElement(accessible);
    if (!live)
        return nullptr;
    if (type != ATK_XY_SCREEN) {
        // Back to the screen: add the corner the coordinates are relative to.
        auto self = extentsIn(accessible, ATK_XY_SCREEN);
        auto relative = extentsIn(accessible, type);
        if (self && relative) {
            x += self->x - relative->x;
            y += self->y - relative->y;
        }
    }
    auto hit = live.element->accessibilityHitTest(screenPointFromRoot(x, y));
    auto* found = accessibleForValue(hit);
    return found && found != accessible ? ATK_OBJECT(g_object_ref(found)) : nullptr;
}

gboolean componentGrabFocus(AtkComponent* component)
{
    auto live = liveElement(ATK_OBJECT(component));
    if (!live || !live.element->accessibilityIsAttributeSettable(AXAttr::Focused))
        return false;
    live.element->accessibilitySetValue(true, AXAttr::Focused);
    return true;
}

AtkLayer componentGetLayer(AtkComponent* component)
{
    auto role = accessibleGetRole(ATK_OBJECT(component));
    return role == ATK_ROLE_FRAME || role == ATK_ROLE_DIALOG || role == ATK_ROLE_WINDOW ? ATK_LAYER_WINDOW
                                                                                        : ATK_LAYER_WIDGET;
}

gdouble componentGetAlpha(AtkComponent*)
{
    return 1.0;
}

void initComponent(AtkComponentIface* iface)
{
    iface->get_extents = componentGetExtents;
    iface->ref_accessible_at_point = componentRefAccessibleAtPoint;
    iface->grab_focus = componentGrabFocus;
    iface->get_layer = componentGetLayer;
    iface->get_alpha = componentGetAlpha;
}

// AtkAction.

std::vector<fnd::String> actionsOf(AtkObject* accessible)
{
    auto live = liveElement(accessible);
    return live ? live.element->accessibilityActionNames() : std::vector<fnd::String>();
}

gint actionGetNActions(AtkAction* action)
{
    return gint(actionsOf(ATK_OBJECT(action)).size());
}

const gchar* actionGetName(AtkAction* action, gint index)
{
    auto* state = stateOf(ATK_OBJECT(action));
    auto actions = actionsOf(ATK_OBJECT(action));
    state->actionNames.clear();
    for (const auto& name : actions)
        state->actionNames.push_back(atkActionName(name));
    return index >= 0 && std::size_t(index) < actions.size() ? state->actionNames[std::size_t(index)].c_str() : nullptr;
}

const gchar* actionGetDescription(AtkAction* action, gint index)
{
    auto* accessible = ATK_OBJECT(action);
    auto* state = stateOf(accessible);
    auto live = liveElement(accessible);
    auto actions = actionsOf(accessible);
    if (!live || index < 0 || std::size_t(index) >= actions.size())
        return nullptr;
    state->actionDescriptions.clear();
    for (const auto& name : actions)
        state->actionDescriptions.push_back(live.element->accessibilityActionDescription(name).utf8());
    return state->actionDescriptions[std::size_t(index)].c_str();
}

// A menu item's shortcut as GTK's menus tell it: "mnemonic;path;accelerator", here the accelerator alone.
const gchar* actionGetKeybinding(AtkAction* action, gint index)
{
    auto* accessible = ATK_OBJECT(action);
    auto live = liveElement(accessible);
    if (!live || index != 0)
        return nullptr;
    auto* item = dynamic_cast<MenuItem*>(live.element);
    auto accelerator = item ? gtkAccelerator(*item) : std::string();
    if (accelerator.empty())
        return nullptr;
    auto* state = stateOf(accessible);
    state->keybinding = ";;" + accelerator;
    return state->keybinding.c_str();
}

gboolean actionDoAction(AtkAction* action, gint index)
{
    auto actions = actionsOf(ATK_OBJECT(action));
    if (index < 0 || std::size_t(index) >= actions.size())
        return false;
    performLater(ATK_OBJECT(action), actions[std::size_t(index)]);
    return true;
}

void initAction(AtkActionIface* iface)
{
    iface->get_n_actions = actionGetNActions;
    iface->get_name = actionGetName;
    iface->get_localized_name = actionGetDescription;
    iface->get_description = actionGetDescription;
    iface->do_action = actionDoAction;
    iface->get_keybinding = actionGetKeybinding;
}

// AtkValue.

double numberAttribute(AtkValue* value, const fnd::String& name)
{
    auto live = liveElement(ATK_OBJECT(value));
    return live ? accessibilityAttribute(*live.element, name).doubleValue() : 0;
}

void setDouble(GValue* gvalue, double number)
{
    // ATK's callers hand over values that may have been initialised already.
    std::memset(gvalue, 0, sizeof(GValue));
    g_value_init(gvalue, G_TYPE_DOUBLE);
    g_value_set_double(gvalue, number);
}

void valueGetCurrentValue(AtkValue* value, GValue* gvalue)
{
    auto live = liveElement(ATK_OBJECT(value));
    auto number = live ? numericValueFor(*live.element) : std::nullopt;
    setDouble(gvalue, number.value_or(0));
}

void valueGetMinimumValue(AtkValue* value, GValue* gvalue)
{
    setDouble(gvalue, numberAttribute(value, AXAttr::MinValue));
}

void valueGetMaximumValue(AtkValue* value, GValue* gvalue)
{
    auto live = liveElement(ATK_OBJECT(value));
    // Scroll bars and knobs run from 0 to 1 without saying so.
    auto maximum = live ? accessibilityAttribute(*live.element, AXAttr::MaxValue) : fnd::Value();
    setDouble(gvalue, maximum.isNumber() ? maximum.doubleValue() : 1.0);
}

void valueGetMinimumIncrement(AtkValue*, GValue* gvalue)
{
    setDouble(gvalue, 0);
}

gboolean valueSetCurrentValue(AtkValue* value, const GValue* gvalue)
{
    auto live = liveElement(ATK_OBJECT(value));
    if (!live || !live.element->accessibilityIsAttributeSettable(AXAttr::Value) || !G_VALUE_HOLDS_DOUBLE(gvalue))
        return false;
    live.element->accessibilitySetValue(g_value_get_double(gvalue), AXAttr::Value);
    return true;
}

void valueGetValueAndText(AtkValue* value, gdouble* number, gchar** text)
{
    auto live = liveElement(ATK_OBJECT(value));
    auto current = live ? numericValueFor(*live.element) : std::nullopt;
    if (number)
        *number = current.value_or(0);
    if (text) {
        auto words = live ? valueTextFor(*live.element) : std::nullopt;
        *text = words ? g_strdup(words->c_str()) : nullptr;
    }
}

AtkRange* valueGetRange(AtkValue* value)
{
    GValue minimum = G_VALUE_INIT;
    GValue maximum = G_VALUE_INIT;
    valueGetMinimumValue(value, &minimum);
    valueGetMaximumValue(value, &maximum);
    return atk_range_new(g_value_get_double(&minimum), g_value_get_double(&maximum), nullptr);
}

void valueSetValue(AtkValue* value, gdouble number)
{
    GValue gvalue = G_VALUE_INIT;
    setDouble(&gvalue, number);
    valueSetCurrentValue(value, &gvalue);
}

void initValue(AtkValueIface* iface)
{
    iface->get_current_value = valueGetCurrentValue;
    iface->get_minimum_value = valueGetMinimumValue;
    iface->get_maximum_value = valueGetMaximumValue;
    iface->get_minimum_increment = valueGetMinimumIncrement;
    iface->set_current_value = valueSetCurrentValue;
    iface->get_value_and_text = valueGetValueAndText;
    iface->get_range = valueGetRange;
    iface->set_value = valueSetValue;
}

// AtkSelection: over the selected children, the selected rows, or the selected tab.

struct SelectionModel {
    Live live;
    fnd::Array selected;
    fnd::String attribute;
};

SelectionModel selectionOf(AtkSelection* selection)
{
    SelectionModel model;
    model.live = liveElement(ATK_OBJECT(selection));
    if (!model.live)
        return model;
    auto& element = *model.live.element;
    for (const auto& name : { AXAttr::SelectedChildren, AXAttr::SelectedRows }) {
        auto value = accessibilityAttribute(element, name);
        if (value.isArray()) {
            model.selected = *value.array();
            model.attribute = name;
            return model;
        }
    }
    // A tab group's value is its selected tab.
    auto tab = accessibilityAttribute(element, AXAttr::Value);
    if (accessibilityElement(tab)) {
        model.selected = { tab };
        model.attribute = AXAttr::Value;
    }
    return model;
}

void setSelection(SelectionModel& model, const fnd::Array& selected)
{
    auto& element = *model.live.element;
    if (model.attribute.isEmpty() || !element.accessibilityIsAttributeSettable(model.attribute))
        return;
    if (model.attribute == AXAttr::Value) {
        if (!selected.empty())
            element.accessibilitySetValue(selected.back(), AXAttr::Value);
        return;
    }
    element.accessibilitySetValue(selected, model.attribute);
}

// The child at the index as a value (nil past the end or once gone).
fnd::Value selectionChild(AtkSelection* selection, gint index)
{
    const auto& children = listedChildren(ATK_OBJECT(selection));
    if (index < 0 || std::size_t(index) >= children.size())
        return {};
    auto object = children[std::size_t(index)].object.lock();
    return object ? fnd::Value(object) : fnd::Value();
}

gboolean selectionAddSelection(AtkSelection* selection, gint index)
{
    auto model = selectionOf(selection);
    auto child = selectionChild(selection, index);
    if (!model.live || child.isNil())
        return false;
    auto selected = model.selected;
    selected.push_back(child);
    setSelection(model, selected);
    return true;
}

gboolean selectionClearSelection(AtkSelection* selection)
{
    auto model = selectionOf(selection);
    if (!model.live || model.attribute == AXAttr::Value)
        return false;
    setSelection(model, {});
    return true;
}

AtkObject* selectionRefSelection(AtkSelection* selection, gint index)
{
    auto model = selectionOf(selection);
    if (index < 0 || std::size_t(index) >= model.selected.size())
        return nullptr;
    auto* accessible = accessibleForValue(model.selected[std::size_t(index)]);
    return accessible ? ATK_OBJECT(g_object_ref(accessible)) : nullptr;
}

gint selectionGetSelectionCount(AtkSelection* selection)
{
    return gint(selectionOf(selection).selected.size());
}

gboolean selectionIsChildSelected(AtkSelection* selection, gint index)
{
    auto model = selectionOf(selection);
    auto child = selectionChild(selection, index);
    return !child.isNil() && std::find(model.selected.begin(), model.selected.end(), child) != model.selected.end();
}

gboolean selectionRemoveSelection(AtkSelection* selection, gint index)
{
    auto model = selectionOf(selection);
    if (!model.live || index < 0 || std::size_t(index) >= model.selected.size() || model.attribute == AXAttr::Value)
        return false;
    auto selected = model.selected;
    selected.erase(selected.begin() + index);
    setSelection(model, selected);
    return true;
}

gboolean selectionSelectAllSelection(AtkSelection* selection)
{
    auto model = selectionOf(selection);
    if (!model.live || model.attribute == AXAttr::Value)
        return false;
    fnd::Array all;
    for (const auto& child : listedChildren(ATK_OBJECT(selection)))
        if (auto object = child.object.lock())
            all.push_back(fnd::Value(object));
    setSelection(model, all);
    return true;
}

void initSelection(AtkSelectionIface* iface)
{
    iface->add_selection = selectionAddSelection;
    iface->clear_selection = selectionClearSelection;
    iface->ref_selection = selectionRefSelection;
    iface->get_selection_count = selectionGetSelectionCount;
    iface->is_child_selected = selectionIsChildSelected;
    iface->remove_selection = selectionRemoveSelection;
    iface->select_all_selection = selectionSelectAllSelection;
}

void initWindow(AtkWindowIface*)
{
}

// The types.

void accessibleFinalize(GObject* object)
{
    auto* accessible = asAccessible(object);
    if (accessible->state) {
        releaseChildren(*accessible->state);
        delete accessible->state;
        accessible->state = nullptr;
    }
    accessibleParentClass->finalize(object);
}

void accessibleClassInit(gpointer klass, gpointer)
{
    accessibleParentClass = G_OBJECT_CLASS(g_type_class_peek_parent(klass));
    G_OBJECT_CLASS(klass)->finalize = accessibleFinalize;
    auto* atkClass = ATK_OBJECT_CLASS(klass);
    atkClass->get_name = accessibleGetName;
    atkClass->get_description = accessibleGetDescription;
    atkClass->get_parent = accessibleGetParent;
    atkClass->get_n_children = accessibleGetNChildren;
    atkClass->ref_child = accessibleRefChild;
    atkClass->get_index_in_parent = accessibleGetIndexInParent;
    atkClass->ref_state_set = accessibleRefStateSet;
    atkClass->get_role = accessibleGetRole;
    atkClass->ref_relation_set = accessibleRefRelationSet;
}

void accessibleInstanceInit(GTypeInstance* instance, gpointer)
{
    asAccessible(instance)->state = new State;
}

GType accessibleBaseType()
{
    static GType type
        = g_type_register_static_simple(ATK_TYPE_OBJECT, "BarcodesAccessible", sizeof(BarcodesAccessibleClass),
            accessibleClassInit, sizeof(BarcodesAccessible), accessibleInstanceInit, GTypeFlags(0));
    return type;
}

template <typename Iface> GInterfaceInfo interfaceInfo(void (*init)(Iface*))
{
    return { reinterpret_cast<GInterfaceInitFunc>(reinterpret_cast<void (*)()>(init)), nullptr, nullptr };
}

// One type per set of interfaces, made when first needed.
GType accessibleTypeFor(unsigned interfaces)
{
    static std::map<unsigned, GType> types;
    if (auto found = types.find(interfaces); found != types.end())
        return found->second;
    GTypeInfo info {};
    info.class_size = sizeof(BarcodesAccessibleClass);
    info.instance_size = sizeof(BarcodesAccessible);
    auto name = "BarcodesAccessible" + std::to_string(interfaces);
    GType type = g_type_register_static(accessibleBaseType(), name.c_str(), &info, GTypeFlags(0));
    auto component = interfaceInfo(initComponent);
    g_type_add_interface_static(type, ATK_TYPE_COMPONENT, &component);
    if (interfaces & Interface::Action) {
        auto action = interfaceInfo(initAction);
        g_type_add_interface_static(type, ATK_TYPE_ACTION, &action);
    }
    if (interfaces & Interface::Text) {
        auto text = interfaceInfo(initText);
        g_type_add_interface_static(type, ATK_TYPE_TEXT, &text);
    }
    if (interfaces & Interface::EditableText) {
        auto editable = interfaceInfo(initEditableText);
        g_type_add_interface_static(type, ATK_TYPE_EDITABLE_TEXT, &editable);
    }
    if (interfaces & Interface::Value) {
        auto value = interfaceInfo(initValue);
        g_type_add_interface_static(type, ATK_TYPE_VALUE, &value);
    }
    if (interfaces & Interface::Selection) {
        auto selection = interfaceInfo(initSelection);
        g_type_add_interface_static(type, ATK_TYPE_SELECTION, &selection);
    }
    if (interfaces & Interface::Window) {
        auto window = interfaceInfo(initWindow);
        g_type_add_interface_static(type, ATK_TYPE_WINDOW, &window);
    }
    types[interfaces] = type;
    return type;
}

long caretOf(const AccessibilityElement& element)
{
    auto range = accessibilityAttribute(element, AXAttr::SelectedTextRange).range();
    if (!range)
        return -1;
    return characterOffsetFor(textFor(element), range->max());
}

// Emits the text that changed as one removal and one insertion around the common start and end.
void emitTextChange(AtkObject* accessible, const std::string& before, const std::string& after)
{
    auto oldText = fnd::String(before);
    auto newText = fnd::String(after);
    fnd::Index prefix = 0;
    while (prefix < oldText.length() && prefix < newText.length()
        && oldText.characterAt(prefix) == newText.characterAt(prefix))
        ++prefix;
    fnd::Index suffix = 0;
    while (suffix < oldText.length() - prefix && suffix < newText.length() - prefix
        && oldText.characterAt(oldText.length() - 1 - suffix) == newText.characterAt(newText.length() - 1 - suffix))
        ++suffix;
    auto removed = oldText.substring({ prefix, oldText.length() - prefix - suffix });
    auto inserted = newText.substring({ prefix, newText.length() - prefix - suffix });
    auto position = gint(characterOffsetFor(oldText, prefix));
    if (!removed.isEmpty())
        g_signal_emit_by_name(accessible, "text-remove", position, gint(characterOffsetFor(removed, removed.length())),
            removed.utf8().c_str());
    if (!inserted.isEmpty())
        g_signal_emit_by_name(accessible, "text-insert", position,
            gint(characterOffsetFor(inserted, inserted.length())), inserted.utf8().c_str());
}

}

AtkObject* create(AccessibilityElement& element)
{
    auto interfaces = interfacesFor(element);
    auto* accessible = ATK_OBJECT(g_object_new(accessibleTypeFor(interfaces), nullptr));
    auto* state = stateOf(accessible);
    state->object = accessibilityObject(element);
    state->element = &element;
    state->interfaces = interfaces;
    // What it tells now is the base the first change is measured from.
    state->name = nameFor(element);
    state->description = descriptionFor(element);
    if (interfaces & Interface::Text) {
        state->text = textFor(element).utf8();
        state->caret = caretOf(element);
    }
    state->value = numericValueFor(element);
    state->states = statesFor(element);
    return accessible;
}

State* stateOf(AtkObject* accessible)
{
    return accessible ? asAccessible(accessible)->state : nullptr;
}

Live liveElement(AtkObject* accessible)
{
    auto* state = stateOf(accessible);
    if (!state || !state->element)
        return {};
    auto object = state->object.lock();
    return object ? Live { object, state->element } : Live {};
}

void markDefunct(AtkObject* accessible)
{
    auto* state = stateOf(accessible);
    if (!state || !state->element)
        return;
    state->element = nullptr;
    state->object.reset();
    atk_object_notify_state_change(accessible, ATK_STATE_DEFUNCT, true);
}

std::uint64_t emitChanges(AtkObject* accessible)
{
    auto live = liveElement(accessible);
    if (!live)
        return 0;
    auto& state = *stateOf(accessible);
    auto& element = *live.element;
    auto name = nameFor(element);
    if (name != state.name) {
        state.name = name;
        g_object_notify(G_OBJECT(accessible), "accessible-name");
    }
    auto description = descriptionFor(element);
    if (description != state.description) {
        state.description = description;
        g_object_notify(G_OBJECT(accessible), "accessible-description");
    }
    if (state.interfaces & Interface::Text) {
        auto text = textFor(element).utf8();
        if (text != state.text) {
            emitTextChange(accessible, state.text, text);
            state.text = text;
        }
        auto caret = caretOf(element);
        if (caret != state.caret) {
            state.caret = caret;
            g_signal_emit_by_name(accessible, "text-caret-moved", gint(caret));
            g_signal_emit_by_name(accessible, "text-selection-changed");
        }
    }
    auto value = numericValueFor(element);
    if (value != state.value) {
        state.value = value;
        if (state.interfaces & Interface::Value) {
            g_object_notify(G_OBJECT(accessible), "accessible-value");
            g_signal_emit_by_name(accessible, "value-changed", value.value_or(0), nullptr);
        }
    }
    auto states = statesFor(element);
    auto changed = states ^ state.states;
    if (changed) {
        state.states = states;
        for (unsigned bit = 0; bit < 64; ++bit)
            if (changed & (std::uint64_t(1) << bit))
                atk_object_notify_state_change(accessible, AtkStateType(bit), (states >> bit) & 1);
    }
    return changed;
}

}
