// The accessible objects the bridge publishes for our elements, read in-process through ATK as the ATK-to-AT-SPI
// bridge reads them: roles, names, states, text in characters, extents in device pixels, the signals that carry
// changes, actions run after the call, and objects outliving their elements.
#include "GtkTestSupport.h"

#include "platform/backend/gtk/GtkAccessibilityBridge.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/Slider.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/TextField.h"

#include <atk/atk.h>

using namespace gtktest;

namespace {

class AccessibilityBridgeTest : public GtkDisplayTest {
protected:
    static AtkObject* accessible(ui::AccessibilityElement& element)
    {
        return ui::GtkAccessibilityBridge::shared().accessibleFor(element);
    }
    static bool has(AtkObject* object, AtkStateType state)
    {
        auto* set = atk_object_ref_state_set(object);
        bool contains = atk_state_set_contains_state(set, state);
        g_object_unref(set);
        return contains;
    }
    // The child, borrowed (the parent keeps it).
    static AtkObject* child(AtkObject* parent, int index)
    {
        auto* object = atk_object_ref_accessible_child(parent, index);
        if (object)
            g_object_unref(object);
        return object;
    }
    static std::string name(AtkObject* object)
    {
        const char* text = object ? atk_object_get_name(object) : nullptr;
        return text ? text : "";
    }
    static std::string text(AtkObject* object, int start = 0, int end = -1)
    {
        gchar* chars = atk_text_get_text(ATK_TEXT(object), start, end);
        std::string result = chars ? chars : "";
        g_free(chars);
        return result;
    }
};

// Counts a signal of an object.
struct SignalCount {
    SignalCount(gpointer object, const char* signal)
    {
        m_handler
            = g_signal_connect_swapped(object, signal, G_CALLBACK(+[](SignalCount* self) { ++self->count; }), this);
        m_object = object;
    }
    ~SignalCount() { g_signal_handler_disconnect(m_object, m_handler); }
    int count { 0 };

private:
    gpointer m_object;
    gulong m_handler;
};

}

TEST_F(AccessibilityBridgeTest, ControlsReadAsATKRolesNamesStatesAndCharacters)
{
    auto content = ui::View::create();
    auto button = ui::Button::create({ 20, 20, 100, 30 }, "Export");
    auto check = ui::Button::create({ 140, 20, 100, 30 }, "Caption");
    check->setButtonType(ui::ButtonType::Switch);
    check->setState(ui::ControlStateValue::On);
    auto slider = ui::Slider::create({ 20, 70, 200, 24 });
    slider->setMaxValue(10);
    slider->setDoubleValue(4);
    // A character outside the first plane takes two UTF-16 units and is one character for ATK.
    auto field = ui::TextField::create({ 20, 110, 200, 24 });
    field->setStringValue(fnd::String(u"a\U0001F600b"));
    for (const auto& view : std::vector<std::shared_ptr<ui::View>> { button, check, slider, field })
        content->addSubview(view);
    auto window = showWindow({ 200, 300, 300, 160 }, content);
    window->setTitle("Bridge");

    auto* frame = accessible(*window);
    EXPECT_EQ(atk_object_get_role(frame), ATK_ROLE_FRAME);
    EXPECT_STREQ(atk_object_get_name(frame), "Bridge");
    EXPECT_EQ(atk_object_get_parent(frame), ui::GtkAccessibilityBridge::shared().root());
    ASSERT_EQ(atk_object_get_n_accessible_children(frame), 4);
    EXPECT_TRUE(ATK_IS_WINDOW(frame));

    auto* push = accessible(*button);
    EXPECT_EQ(atk_object_get_role(push), ATK_ROLE_PUSH_BUTTON);
    EXPECT_STREQ(atk_object_get_name(push), "Export");
    EXPECT_TRUE(has(push, ATK_STATE_SHOWING));
    EXPECT_TRUE(has(push, ATK_STATE_SENSITIVE));
    ASSERT_TRUE(ATK_IS_ACTION(push));
    EXPECT_STREQ(atk_action_get_name(ATK_ACTION(push), 0), "click");
    EXPECT_FALSE(ATK_IS_TEXT(push)) << "a button offers no text interface";
    EXPECT_EQ(atk_object_get_index_in_parent(push), 0);

    auto* box = accessible(*check);
    EXPECT_EQ(atk_object_get_role(box), ATK_ROLE_CHECK_BOX);
    EXPECT_TRUE(has(box, ATK_STATE_CHECKED));

    auto* knob = accessible(*slider);
    EXPECT_EQ(atk_object_get_role(knob), ATK_ROLE_SLIDER);
    ASSERT_TRUE(ATK_IS_VALUE(knob));
    double value = 0;
    atk_value_get_value_and_text(ATK_VALUE(knob), &value, nullptr);
    EXPECT_DOUBLE_EQ(value, 4);
    auto* range = atk_value_get_range(ATK_VALUE(knob));
    EXPECT_DOUBLE_EQ(atk_range_get_upper_limit(range), 10);
    atk_range_free(range);
    atk_value_set_value(ATK_VALUE(knob), 7);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 7);

    auto* entry = accessible(*field);
    EXPECT_EQ(atk_object_get_role(entry), ATK_ROLE_ENTRY);
    ASSERT_TRUE(ATK_IS_TEXT(entry));
    ASSERT_TRUE(ATK_IS_EDITABLE_TEXT(entry));
    EXPECT_EQ(atk_text_get_character_count(ATK_TEXT(entry)), 3);
    EXPECT_EQ(text(entry, 1, 2), "\U0001F600");
    EXPECT_EQ(atk_text_get_character_at_offset(ATK_TEXT(entry), 1), gunichar(0x1F600));
    EXPECT_EQ(atk_text_get_caret_offset(ATK_TEXT(entry)), 3) << "at the end, in characters";
    int start = 0, end = 0;
    gchar* word = atk_text_get_string_at_offset(ATK_TEXT(entry), 2, ATK_TEXT_GRANULARITY_CHAR, &start, &end);
    EXPECT_STREQ(word, "b");
    EXPECT_EQ(start, 2);
    g_free(word);
    // Editing through ATK is typing: the field takes the text.
    gint position = 1;
    atk_editable_text_insert_text(ATK_EDITABLE_TEXT(entry), "xy", 2, &position);
    EXPECT_EQ(field->stringValue(), fnd::String(u"axy\U0001F600b"));
    EXPECT_EQ(position, 3);
    atk_editable_text_delete_text(ATK_EDITABLE_TEXT(entry), 3, 4);
    EXPECT_EQ(field->stringValue(), fnd::String("axyb"));

    // Extents in device pixels, relative to the window's top left for window coordinates (y down).
    int x = 0, y = 0, width = 0, height = 0;
    atk_component_get_extents(ATK_COMPONENT(push), &x, &y, &width, &height, ATK_XY_WINDOW);
    const int s = scale();
    EXPECT_EQ(x, 20 * s);
    EXPECT_EQ(y, (160 - 50) * s);
    EXPECT_EQ(width, 100 * s);
    EXPECT_EQ(height, 30 * s);
    int sx = 0, sy = 0;
    atk_component_get_extents(ATK_COMPONENT(push), &sx, &sy, nullptr, nullptr, ATK_XY_SCREEN);
    auto* found = atk_component_ref_accessible_at_point(ATK_COMPONENT(frame), sx + 5, sy + 5, ATK_XY_SCREEN);
    EXPECT_EQ(found, push) << "the button is what lies under its own corner";
    if (found)
        g_object_unref(found);
    window->close();
}

TEST_F(AccessibilityBridgeTest, ChangesBecomeSignalsActionsRunAfterTheCallAndGoneElementsAreDefunct)
{
    auto content = ui::View::create();
    auto field = ui::TextField::create({ 20, 20, 200, 24 });
    content->addSubview(field);
    auto window = showWindow({ 200, 300, 300, 160 }, content);
    auto* frame = accessible(*window);
    ASSERT_EQ(atk_object_get_n_accessible_children(frame), 1);

    // A view added and one removed: the window's children change, one signal each.
    SignalCount added(frame, "children-changed::add");
    SignalCount removed(frame, "children-changed::remove");
    auto button = ui::Button::create({ 20, 60, 100, 30 }, "Go");
    content->addSubview(button);
    EXPECT_EQ(added.count, 1);
    EXPECT_EQ(atk_object_get_n_accessible_children(frame), 2);

    // Text typed and focus taken: text and state signals of the field.
    auto* entry = accessible(*field);
    SignalCount inserted(entry, "text-insert");
    SignalCount stateChanged(entry, "state-change::focused");
    window->makeFirstResponder(field);
    EXPECT_GE(stateChanged.count, 1);
    EXPECT_TRUE(has(entry, ATK_STATE_FOCUSED));
    field->accessibilitySetValue(fnd::String("4006"), ui::AccessibilityAttribute::Value);
    EXPECT_EQ(inserted.count, 1);
    EXPECT_EQ(text(entry), "4006");

    // An action asked for runs once the run loop turns, not inside the call.
    // (An on-off button shows the press in its state.)
    button->setButtonType(ui::ButtonType::PushOnPushOff);
    auto* push = accessible(*button);
    ASSERT_TRUE(atk_action_do_action(ATK_ACTION(push), 0));
    EXPECT_EQ(button->state(), ui::ControlStateValue::Off) << "not yet";
    EXPECT_TRUE(waitFor([&] { return button->state() == ui::ControlStateValue::On; }));

    // The button leaves and dies: its object stays valid for whoever holds it, and answers as defunct.
    g_object_ref(push);
    button->removeFromSuperview();
    EXPECT_EQ(removed.count, 1);
    button.reset();
    EXPECT_TRUE(has(push, ATK_STATE_DEFUNCT));
    EXPECT_EQ(atk_object_get_role(push), ATK_ROLE_INVALID);
    EXPECT_STREQ(atk_object_get_name(push), "Go") << "the last name it told";
    g_object_unref(push);
    window->close();
}

// The main menu's bar is the first child of the document window showing it, above the content; its menus hold their
// items with their shortcuts. F10 opens the first menu: its first item takes the focus and the selection, its menu
// is selected, and the items show while their menu is open.
TEST_F(AccessibilityBridgeTest, TheMenuBarLiesInItsWindowAndF10TellsTheItemWithTheKeyboard)
{
    auto recorder = KeyRecorder::make({});
    auto main = ui::Menu::create("Main");
    auto file = ui::Menu::create("File");
    file->addItemWithTitle("Export…", fnd::Selector("pick:"), "e")->setTarget(recorder);
    file->addItemWithTitle("Nobody's", fnd::Selector("nobodyAnswersThis:"));
    main->addItemWithTitle("File")->setSubmenu(file);
    ui::Application::shared().setMainMenu(main);
    auto window = showWindow({ 100, 300, 240, 120 }, recorder);
    window->makeFirstResponder(recorder);
    auto* frame = accessible(*window);
    ASSERT_TRUE(waitFor([&] {
        return atk_object_get_n_accessible_children(frame) > 0
            && atk_object_get_role(child(frame, 0)) == ATK_ROLE_MENU_BAR;
    })) << "the bar is the window's first child";
    auto* bar = child(frame, 0);
    EXPECT_EQ(atk_object_get_parent(bar), frame);
    // Right above the content, as wide as the window.
    auto [x, y, width, height] = deviceRectOfContent(*window);
    int bx = 0, by = 0, bw = 0, bh = 0;
    atk_component_get_extents(ATK_COMPONENT(bar), &bx, &by, &bw, &bh, ATK_XY_SCREEN);
    EXPECT_EQ(bx, x);
    EXPECT_EQ(by + bh, y);
    EXPECT_EQ(bw, width);
    EXPECT_GT(bh, 0);

    ASSERT_EQ(atk_object_get_n_accessible_children(bar), 1);
    auto* fileMenu = child(bar, 0);
    EXPECT_EQ(atk_object_get_role(fileMenu), ATK_ROLE_MENU);
    EXPECT_EQ(name(fileMenu), "File");
    ASSERT_EQ(atk_object_get_n_accessible_children(fileMenu), 2) << "its items, with no second menu between";
    auto* exportItem = child(fileMenu, 0);
    auto* nobodys = child(fileMenu, 1);
    EXPECT_EQ(atk_object_get_role(exportItem), ATK_ROLE_MENU_ITEM);
    EXPECT_EQ(name(exportItem), "Export…");
    EXPECT_EQ(atk_object_get_parent(exportItem), fileMenu);
    ASSERT_TRUE(ATK_IS_ACTION(exportItem));
    const char* keys = atk_action_get_keybinding(ATK_ACTION(exportItem), 0);
    EXPECT_STREQ(keys, ";;<Control>e");
    EXPECT_FALSE(has(exportItem, ATK_STATE_SHOWING)) << "its menu is closed";

    SignalCount focused(exportItem, "state-change::focused");
    SignalCount selected(exportItem, "state-change::selected");
    ASSERT_EQ(runWhileServing(*backend, "xdotool key F10").status, 0);
    EXPECT_TRUE(waitFor([&] { return has(exportItem, ATK_STATE_FOCUSED); })) << "F10 puts the keyboard on the item";
    EXPECT_GE(focused.count, 1);
    EXPECT_GE(selected.count, 1);
    EXPECT_TRUE(has(exportItem, ATK_STATE_SELECTED));
    EXPECT_TRUE(has(exportItem, ATK_STATE_SHOWING));
    EXPECT_TRUE(has(fileMenu, ATK_STATE_SELECTED));
    EXPECT_FALSE(has(fileMenu, ATK_STATE_FOCUSED)) << "the keyboard is in its menu";
    EXPECT_TRUE(has(exportItem, ATK_STATE_ENABLED));
    EXPECT_FALSE(has(nobodys, ATK_STATE_ENABLED)) << "validated as the menu opened: nobody answers its action";

    ASSERT_EQ(runWhileServing(*backend, "xdotool key Escape Escape").status, 0);
    // The item and its menu hear of the closing in separate events: wait for both.
    EXPECT_TRUE(waitFor([&] { return !has(exportItem, ATK_STATE_FOCUSED) && !has(exportItem, ATK_STATE_SHOWING); }));
    EXPECT_TRUE(waitFor([&] { return !has(fileMenu, ATK_STATE_SELECTED); })) << "Escape leaves the menu bar";
    ui::Application::shared().setMainMenu(nullptr);
    window->close();
}

// A field marked invalid and described by a hint tells both, and the change of either as a signal; a colour well
// tells its colour as its text, its value's text and its description; a combo box holds its list of items.
TEST_F(AccessibilityBridgeTest, InvalidFieldsDescriptionsColoursAndComboBoxListsReadThroughATK)
{
    auto content = ui::View::create();
    auto field = ui::TextField::create({ 20, 120, 200, 24 });
    auto hint = ui::TextField::labelWithString("Allowed: [0-9]");
    hint->setFrameOrigin({ 20, 100 });
    auto well = ui::ColorWell::create({ 20, 60, 52, 24 });
    well->setColor(gfx::Color::colorWithCalibratedRed(1, 0.5, 0, 1));
    auto box = ui::ComboBox::create({ 100, 60, 120, 24 });
    box->addItemsWithObjectValues({ fnd::String("9"), fnd::String("10") });
    for (const auto& view : std::vector<std::shared_ptr<ui::View>> { field, hint, well, box })
        content->addSubview(view);
    auto window = showWindow({ 200, 300, 300, 160 }, content);

    auto* entry = accessible(*field);
    auto* label = accessible(*hint);
    field->accessibilitySetOverrideValue(fnd::Array { hint->selfValue() }, ui::AccessibilityAttribute::DescribedBy);
    SignalCount invalid(entry, "state-change::invalid-entry");
    field->accessibilitySetOverrideValue(true, ui::AccessibilityAttribute::Invalid);
    EXPECT_EQ(invalid.count, 1);
    EXPECT_TRUE(has(entry, ATK_STATE_INVALID_ENTRY));
    EXPECT_STREQ(atk_object_get_description(entry), "Allowed: [0-9]");
    auto* relations = atk_object_ref_relation_set(entry);
    auto* describedBy = atk_relation_set_get_relation_by_type(relations, ATK_RELATION_DESCRIBED_BY);
    ASSERT_TRUE(describedBy);
    auto* targets = atk_relation_get_target(describedBy);
    ASSERT_EQ(targets->len, 1u);
    EXPECT_EQ(g_ptr_array_index(targets, 0), label);
    g_object_unref(relations);
    // While the field has the keyboard, a new hint is its new description.
    window->makeFirstResponder(field);
    SignalCount described(entry, "notify::accessible-description");
    hint->setStringValue("Allowed: [0-9], 3 left");
    EXPECT_GE(described.count, 1);
    EXPECT_STREQ(atk_object_get_description(entry), "Allowed: [0-9], 3 left");
    field->accessibilitySetOverrideValue({}, ui::AccessibilityAttribute::Invalid);
    EXPECT_EQ(invalid.count, 2);
    EXPECT_FALSE(has(entry, ATK_STATE_INVALID_ENTRY));

    auto* swatch = accessible(*well);
    EXPECT_EQ(atk_object_get_role(swatch), ATK_ROLE_PUSH_BUTTON);
    ASSERT_TRUE(ATK_IS_TEXT(swatch));
    EXPECT_EQ(text(swatch), "red 100%, green 50%, blue 0%");
    ASSERT_TRUE(ATK_IS_VALUE(swatch));
    gchar* words = nullptr;
    atk_value_get_value_and_text(ATK_VALUE(swatch), nullptr, &words);
    EXPECT_STREQ(words, "red 100%, green 50%, blue 0%");
    g_free(words);
    EXPECT_STREQ(atk_object_get_description(swatch), "red 100%, green 50%, blue 0%");

    auto* combo = accessible(*box);
    EXPECT_EQ(atk_object_get_role(combo), ATK_ROLE_COMBO_BOX);
    ASSERT_EQ(atk_object_get_n_accessible_children(combo), 1);
    auto* list = child(combo, 0);
    EXPECT_EQ(atk_object_get_role(list), ATK_ROLE_LIST);
    ASSERT_EQ(atk_object_get_n_accessible_children(list), 2);
    EXPECT_EQ(atk_object_get_role(child(list, 1)), ATK_ROLE_LIST_ITEM);
    EXPECT_EQ(name(child(list, 1)), "10");
    EXPECT_FALSE(has(child(list, 1), ATK_STATE_SHOWING)) << "the list is closed";

    // A window marked an alert is one.
    window->accessibilitySetOverrideValue(ui::AccessibilitySubrole::Alert, ui::AccessibilityAttribute::Subrole);
    EXPECT_EQ(atk_object_get_role(accessible(*window)), ATK_ROLE_ALERT);
    window->close();
}
