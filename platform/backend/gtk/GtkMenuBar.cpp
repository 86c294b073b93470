#include "platform/backend/gtk/GtkMenuBar.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cctype>

namespace ui {

namespace {

// A menu title as GTK shows it: GTK reads underscores as mnemonics, so they are doubled.
std::string label(const fnd::String& title)
{
    std::string text;
    for (char c : title.utf8()) {
        text += c;
        if (c == '_')
            text += '_';
    }
    return text;
}

bool isDocumentWindow(const Window& window)
{
    unsigned style = window.styleMask();
    return (style & WindowStyleMask::Titled) && !(style & (WindowStyleMask::Utility | WindowStyleMask::DocModal))
        && window.level() == WindowLevel::Normal && !window.isSheet();
}

std::shared_ptr<Menu> mainMenu()
{
    return std::dynamic_pointer_cast<Menu>(Application::shared().mainMenu());
}

}

// The shortcut text GTK shows beside an item ("<Control>c"), from our key equivalent and its modifiers.
std::string gtkAccelerator(const MenuItem& item)
{
    auto key = item.keyEquivalent().utf8();
    if (key.empty())
        return {};
    unsigned long mask = item.keyEquivalentModifierMask();
    std::string accel;
    if (mask & ModifierFlags::Command)
        accel += "<Control>";
    if (mask & ModifierFlags::Control)
        accel += "<Super>";
    if (mask & ModifierFlags::Alternate)
        accel += "<Alt>";
    bool upper = key.size() == 1 && std::isupper(static_cast<unsigned char>(key[0]));
    if ((mask & ModifierFlags::Shift) || upper)
        accel += "<Shift>";
    if (key.size() == 1) {
        char c = char(std::tolower(static_cast<unsigned char>(key[0])));
        gunichar u = static_cast<unsigned char>(c);
        accel += gdk_keyval_name(gdk_unicode_to_keyval(u));
    } else {
        accel += key;
    }
    return accel;
}

// Model.

GtkMenuModel::GtkMenuModel(const char* prefix)
    : m_prefix(prefix)
    , m_model(g_menu_new())
    , m_actions(g_simple_action_group_new())
{
}

GtkMenuModel::~GtkMenuModel()
{
    forgetEntries();
    g_object_unref(m_actions);
    g_object_unref(m_model);
}

void GtkMenuModel::forgetEntries()
{
    for (auto& entry : m_entries) {
        g_signal_handlers_disconnect_by_data(entry.action, this);
        g_action_map_remove_action(G_ACTION_MAP(m_actions), g_action_get_name(G_ACTION(entry.action)));
        g_object_unref(entry.section);
    }
    m_entries.clear();
}

std::string GtkMenuModel::signature(Menu& menu)
{
    std::string text;
    for (const auto& item : menu.itemArray()) {
        text += item->isSeparatorItem() ? "-" : item->submenu() ? item->title().utf8() : "";
        text += '\x1f' + gtkAccelerator(*item) + (item->isHidden() ? "h" : "");
        if (item->submenu())
            text += "{" + signature(*item->submenu()) + "}";
        text += '\x1e';
    }
    return text;
}

void GtkMenuModel::build(Menu& menu)
{
    forgetEntries();
    g_menu_remove_all(m_model);
    add(m_model, menu);
    refreshEnabledStates();
}

void GtkMenuModel::add(GMenu* into, Menu& menu)
{
    menu.update();
    // Separators split a GTK menu into sections.
    GMenu* section = g_menu_new();
    auto flush = [&] {
        if (g_menu_model_get_n_items(G_MENU_MODEL(section)) > 0)
            g_menu_append_section(into, nullptr, G_MENU_MODEL(section));
        g_object_unref(section);
        section = g_menu_new();
    };
    for (long index = 0; index < menu.numberOfItems(); ++index) {
        auto item = menu.itemAtIndex(index);
        if (item->isHidden())
            continue;
        if (item->isSeparatorItem()) {
            flush();
            continue;
        }
        if (item->submenu()) {
            GMenu* submenu = g_menu_new();
            add(submenu, *item->submenu());
            g_menu_append_submenu(section, label(item->title()).c_str(), G_MENU_MODEL(submenu));
            g_object_unref(submenu);
            continue;
        }
        auto name = "item" + std::to_string(m_entries.size());
        GSimpleAction* action = g_simple_action_new(name.c_str(), nullptr);
        g_signal_connect(action, "activate", G_CALLBACK(onActivate), this);
        g_action_map_add_action(G_ACTION_MAP(m_actions), G_ACTION(action));
        const int position = g_menu_model_get_n_items(G_MENU_MODEL(section));
        m_entries.push_back({ item, action, G_MENU(g_object_ref(section)), position, label(item->title()) });
        g_object_unref(action); // the group keeps it
        GMenuItem* menuItem = makeItem(m_entries.back(), *item);
        g_menu_append_item(section, menuItem);
        g_object_unref(menuItem);
    }
    flush();
    g_object_unref(section);
}

GMenuItem* GtkMenuModel::makeItem(const Entry& entry, const MenuItem& item) const
{
    GMenuItem* menuItem
        = g_menu_item_new(entry.label.c_str(), (m_prefix + "." + g_action_get_name(G_ACTION(entry.action))).c_str());
    if (auto accel = gtkAccelerator(item); !accel.empty())
        g_menu_item_set_attribute(menuItem, "accel", "s", accel.c_str());
    return menuItem;
}

void GtkMenuModel::retitle()
{
    for (auto& entry : m_entries) {
        auto item = entry.item.lock();
        if (!item || label(item->title()) == entry.label)
            continue;
        entry.label = label(item->title());
        GMenuItem* menuItem = makeItem(entry, *item);
        g_menu_remove(entry.section, entry.position);
        g_menu_insert_item(entry.section, entry.position, menuItem);
        g_object_unref(menuItem);
    }
}

void GtkMenuModel::refreshEnabledStates()
{
    for (auto& entry : m_entries) {
        auto item = entry.item.lock();
        bool enabled = item && item->isEnabled();
        if (item && item->menu() && item->menu()->autoenablesItems()) {
            enabled = Menu::validateItem(*item);
            // As the menu's own update would: the item tells the tree.
            item->setEnabled(enabled);
        }
        g_simple_action_set_enabled(entry.action, enabled);
    }
}

void GtkMenuModel::onActivate(GSimpleAction* action, GVariant*, gpointer self)
{
    auto* model = static_cast<GtkMenuModel*>(self);
    for (auto& entry : model->m_entries) {
        if (entry.action != action)
            continue;
        auto item = entry.item.lock();
        auto menu = item ? item->menu() : nullptr;
        if (menu)
            menu->performActionForItemAtIndex(menu->indexOfItem(*item));
        return;
    }
}

// Menu bars.

GtkMenuBars::GtkMenuBars(GtkBackend& backend)
    : m_backend(backend)
{
}

GtkMenuBars::~GtkMenuBars()
{
    if (m_pendingValidation)
        g_source_remove(m_pendingValidation);
    for (auto& [number, bar] : m_bars)
        forget(bar);
}

void GtkMenuBars::forget(Bar& bar)
{
    if (bar.pendingFocusCheck)
        g_source_remove(bar.pendingFocusCheck);
    bar.pendingFocusCheck = 0;
    if (bar.window) {
        g_signal_handlers_disconnect_by_data(bar.window, this);
        if (bar.keyController)
            gtk_widget_remove_controller(GTK_WIDGET(bar.window), bar.keyController);
    }
    bar.keyController = nullptr;
}

namespace {

// Every menu of the bar brought up to date: validation may retitle an item (Show Toolbar, Hide Toolbar).
void updateMenuTree(Menu& menu)
{
    menu.update();
    for (const auto& item : menu.itemArray())
        if (auto submenu = item->submenu())
            updateMenuTree(*submenu);
}

// The main menu's items a bar shows: GTK makes a bar item of each submenu.
std::vector<std::weak_ptr<MenuItem>> gtkMenuBarItems(const Menu& menu)
{
    std::vector<std::weak_ptr<MenuItem>> items;
    for (const auto& item : menu.itemArray())
        if (!item->isHidden() && !item->isSeparatorItem() && item->submenu())
            items.push_back(item);
    return items;
}

// The item of the menu (or of a submenu of it, nearest first) that a model button showing the label stands for,
// with the menus from the given one down to the item's own.
std::shared_ptr<MenuItem> gtkMenuItemWithLabel(
    const std::shared_ptr<Menu>& menu, const std::string& text, std::vector<std::shared_ptr<Menu>>& path)
{
    path.push_back(menu);
    for (const auto& item : menu->itemArray())
        if (!item->isHidden() && !item->isSeparatorItem() && label(item->title()) == text)
            return item;
    for (const auto& item : menu->itemArray())
        if (!item->isHidden() && item->submenu())
            if (auto found = gtkMenuItemWithLabel(item->submenu(), text, path))
                return found;
    path.pop_back();
    return nullptr;
}

}

void GtkMenuBars::refresh(Bar& bar, Menu& menu)
{
    updateMenuTree(menu);
    auto signature = GtkMenuModel::signature(menu);
    if (signature != bar.signature) {
        bar.signature = signature;
        bar.model->build(menu);
        bar.barItems = gtkMenuBarItems(menu);
    } else {
        bar.model->retitle();
        bar.model->refreshEnabledStates();
    }
}

void GtkMenuBars::onPointerEnter(GtkEventControllerMotion* controller, double, double, gpointer self)
{
    // Enabled states are brought up to date as the pointer comes to the bar, before a menu opens.
    auto* bars = static_cast<GtkMenuBars*>(self);
    auto* widget = gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(controller));
    auto menu = mainMenu();
    if (!menu)
        return;
    for (auto& [number, bar] : bars->m_bars)
        if (bar.widget == widget)
            bars->refresh(bar, *menu);
}

void GtkMenuBars::windowFlushed(Window& window)
{
    constexpr guint ValidationDelay = 250; // milliseconds
    if (m_pendingValidation || !isAccessibilityObserved() || !m_bars.contains(window.windowNumber()))
        return;
    m_pendingValidation = g_timeout_add(ValidationDelay, validateForAccessibility, this);
}

gboolean GtkMenuBars::validateForAccessibility(gpointer self)
{
    auto* bars = static_cast<GtkMenuBars*>(self);
    bars->m_pendingValidation = 0;
    if (auto menu = mainMenu())
        for (auto& [number, bar] : bars->m_bars)
            bars->refresh(bar, *menu);
    return G_SOURCE_REMOVE;
}

std::optional<gfx::Rect> GtkMenuBars::barFrame(const Window& window) const
{
    auto found = m_bars.find(window.windowNumber());
    if (found == m_bars.end() || !found->second.widget || !gtk_widget_get_mapped(found->second.widget))
        return std::nullopt;
    // The bar lies on the window's content, as wide as the window.
    auto frame = window.frame();
    return gfx::Rect { frame.minX(), frame.maxY(), frame.width(), double(gtk_widget_get_height(found->second.widget)) };
}

void GtkMenuBars::windowGone(long windowNumber)
{
    if (auto found = m_bars.find(windowNumber); found != m_bars.end()) {
        forget(found->second);
        m_bars.erase(found);
    }
}

GtkMenuBars::Bar* GtkMenuBars::barOfWindow(GtkWindow* window)
{
    for (auto& [number, bar] : m_bars)
        if (bar.window == window)
            return &bar;
    return nullptr;
}

gboolean GtkMenuBars::onWindowKey(
    GtkEventControllerKey* controller, guint keyval, guint, GdkModifierType state, gpointer self)
{
    auto* bars = static_cast<GtkMenuBars*>(self);
    const auto modifiers = state & (GDK_CONTROL_MASK | GDK_ALT_MASK | GDK_SHIFT_MASK | GDK_SUPER_MASK);
    if (keyval != GDK_KEY_F10 || modifiers != 0)
        return FALSE;
    auto* window = GTK_WINDOW(gtk_event_controller_get_widget(GTK_EVENT_CONTROLLER(controller)));
    auto menu = mainMenu();
    if (auto* bar = bars->barOfWindow(window); bar && menu)
        bars->refresh(*bar, *menu);
    // GTK opens the bar itself.
    return FALSE;
}

namespace {

bool anyPopoverShown(GtkWidget* widget)
{
    for (auto* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child)) {
        if (GTK_IS_POPOVER(child) && gtk_widget_get_visible(child))
            return true;
        if (anyPopoverShown(child))
            return true;
    }
    return false;
}

}

void GtkMenuBars::trackFocus(Bar& bar)
{
    auto menu = mainMenu();
    auto owner = bar.owner.lock();
    if (!menu || !owner)
        return;
    auto* focus = gtk_window_get_focus(bar.window);
    // The bar item whose menu is open (its pop-over shown), and the bar item the keyboard is on.
    long open = -1;
    long focusedBarItem = -1;
    long index = 0;
    GtkWidget* openPopover = nullptr;
    for (auto* child = gtk_widget_get_first_child(bar.widget); child; child = gtk_widget_get_next_sibling(child)) {
        if (focus == child)
            focusedBarItem = index;
        for (auto* part = gtk_widget_get_first_child(child); part; part = gtk_widget_get_next_sibling(part))
            if (GTK_IS_POPOVER(part) && gtk_widget_get_visible(part)) {
                open = index;
                openPopover = part;
            }
        ++index;
    }
    auto barItem = [&](long at) {
        return at >= 0 && std::size_t(at) < bar.barItems.size() ? bar.barItems[std::size_t(at)].lock() : nullptr;
    };
    if (open < 0 && focusedBarItem < 0) {
        closeTrackedMenus(bar);
        return;
    }
    // The menus open now and the item with the keyboard: a button of the open pop-over names its item by its label.
    std::vector<std::shared_ptr<Menu>> path { menu };
    std::shared_ptr<MenuItem> focused;
    auto openItem = barItem(open);
    if (openItem && openItem->submenu() && focus && openPopover && gtk_widget_is_ancestor(focus, openPopover)) {
        gchar* text = nullptr;
        if (g_object_class_find_property(G_OBJECT_GET_CLASS(focus), "text"))
            g_object_get(focus, "text", &text, nullptr);
        if (text)
            focused = gtkMenuItemWithLabel(openItem->submenu(), text, path);
        g_free(text);
        if (!focused)
            path.push_back(openItem->submenu());
    } else if (openItem && openItem->submenu()) {
        path.push_back(openItem->submenu());
    }
    // Menus no longer open close first, then the open ones open from the bar down.
    for (const auto& weak : bar.openMenus)
        if (auto was = weak.lock(); was && std::find(path.begin(), path.end(), was) == path.end()) {
            was->accessibilityHighlightItem(nullptr, MenuHighlight::Select);
            was->setAccessibilityShownInWindow(nullptr);
        }
    bar.openMenus.assign(path.begin(), path.end());
    for (std::size_t level = 1; level < path.size(); ++level)
        path[level]->setAccessibilityShownInWindow(owner);
    // Along the path each menu has the item that opens the next selected; the last has the keyboard's item.
    if (focusedBarItem >= 0 && open < 0) {
        menu->accessibilityHighlightItem(barItem(focusedBarItem), MenuHighlight::Focus);
        return;
    }
    menu->accessibilityHighlightItem(openItem, focused ? MenuHighlight::Select : MenuHighlight::Focus);
    for (std::size_t level = 1; level + 1 < path.size(); ++level) {
        auto& items = path[level]->itemArray();
        auto opens = std::find_if(items.begin(), items.end(),
            [&](const std::shared_ptr<MenuItem>& item) { return item->submenu() == path[level + 1]; });
        path[level]->accessibilityHighlightItem(opens == items.end() ? nullptr : *opens, MenuHighlight::Select);
    }
    if (path.size() > 1)
        path.back()->accessibilityHighlightItem(focused, MenuHighlight::Focus);
}

void GtkMenuBars::closeTrackedMenus(Bar& bar)
{
    auto menu = mainMenu();
    if (bar.openMenus.empty() && !(menu && menu->highlightedItem()))
        return;
    for (auto it = bar.openMenus.rbegin(); it != bar.openMenus.rend(); ++it)
        if (auto was = it->lock(); was && was != menu) {
            was->accessibilityHighlightItem(nullptr, MenuHighlight::Select);
            was->setAccessibilityShownInWindow(nullptr);
        }
    bar.openMenus.clear();
    if (menu)
        menu->accessibilityHighlightItem(nullptr, MenuHighlight::Select);
    // The keyboard is back where it was: assistive technologies hear of it as they heard of the menu.
    accessibilityPostNotification(
        Application::shared().accessibilityFocusedUIElement(), AccessibilityNotification::FocusedUIElementChanged);
}

void GtkMenuBars::onFocusWidgetChanged(GObject* object, GParamSpec*, gpointer self)
{
    auto* bars = static_cast<GtkMenuBars*>(self);
    auto* bar = bars->barOfWindow(GTK_WINDOW(object));
    if (bar)
        trackFocus(*bar);
    if (!bar || bar->pendingFocusCheck)
        return;
    // Once GTK is done moving the focus: the bar may be opening the next menu.
    bar->pendingFocusCheck = g_idle_add(returnFocusIfClosed, self);
}

gboolean GtkMenuBars::returnFocusIfClosed(gpointer self)
{
    auto* bars = static_cast<GtkMenuBars*>(self);
    for (auto& [number, bar] : bars->m_bars) {
        if (!bar.pendingFocusCheck)
            continue;
        bar.pendingFocusCheck = 0;
        auto* focus = gtk_window_get_focus(bar.window);
        const bool inBar = focus && (focus == bar.widget || gtk_widget_is_ancestor(focus, bar.widget));
        if ((inBar || !focus) && !anyPopoverShown(bar.widget))
            gtk_widget_grab_focus(bar.canvas);
    }
    return G_SOURCE_REMOVE;
}

void GtkMenuBars::windowChanged(Window& window, GtkWindowHost& host)
{
    auto menu = mainMenu();
    bool wanted = menu && menu->numberOfItems() > 0 && isDocumentWindow(window) && !window.isClosed();
    auto found = m_bars.find(window.windowNumber());
    if (!wanted) {
        if (found != m_bars.end()) {
            forget(found->second);
            host.setMenuBar(nullptr);
            m_bars.erase(found);
        }
        return;
    }
    if (found != m_bars.end()) {
        refresh(found->second, *menu);
        return;
    }
    Bar bar;
    bar.model = std::make_unique<GtkMenuModel>("menubar");
    bar.signature = GtkMenuModel::signature(*menu);
    bar.model->build(*menu);
    bar.barItems = gtkMenuBarItems(*menu);
    bar.owner = std::static_pointer_cast<Window>(window.shared_from_this());
    bar.widget = gtk_popover_menu_bar_new_from_model(bar.model->model());
    bar.window = host.gtkWindow();
    bar.canvas = host.canvas();
    gtk_widget_insert_action_group(GTK_WIDGET(host.gtkWindow()), "menubar", bar.model->actions());
    auto* motion = gtk_event_controller_motion_new();
    g_signal_connect(motion, "enter", G_CALLBACK(onPointerEnter), this);
    gtk_widget_add_controller(bar.widget, motion);
    auto* keys = gtk_event_controller_key_new();
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect(keys, "key-pressed", G_CALLBACK(onWindowKey), this);
    gtk_widget_add_controller(GTK_WIDGET(host.gtkWindow()), keys);
    bar.keyController = keys;
    g_signal_connect(host.gtkWindow(), "notify::focus-widget", G_CALLBACK(onFocusWidgetChanged), this);
    host.setMenuBar(bar.widget);
    m_bars.emplace(window.windowNumber(), std::move(bar));
}

}
