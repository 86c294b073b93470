#include "platform/backend/gtk/GtkMenuBar.h"

#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

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

// The shortcut text GTK shows beside an item ("<Control>c"), from our key equivalent and its modifiers.
std::string accelerator(const MenuItem& item)
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
        text += '\x1f' + accelerator(*item) + (item->isHidden() ? "h" : "");
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
    if (auto accel = accelerator(item); !accel.empty())
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
        if (item && item->menu() && item->menu()->autoenablesItems())
            enabled = Menu::validateItem(*item);
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

}

void GtkMenuBars::refresh(Bar& bar, Menu& menu)
{
    updateMenuTree(menu);
    auto signature = GtkMenuModel::signature(menu);
    if (signature != bar.signature) {
        bar.signature = signature;
        bar.model->build(menu);
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

void GtkMenuBars::onFocusWidgetChanged(GObject* object, GParamSpec*, gpointer self)
{
    auto* bars = static_cast<GtkMenuBars*>(self);
    auto* bar = bars->barOfWindow(GTK_WINDOW(object));
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
