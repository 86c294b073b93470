#pragma once

#include "platform/graphics/Geometry.h"

#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class GtkBackend;
class GtkWindowHost;
class Menu;
class MenuItem;
class Window;

// A GTK menu model of one of our menus: every item becomes an action of a group, so picking it reaches the item,
// and the item's enabled state follows our validation when the menu is brought up to date.
class GtkMenuModel {
public:
    explicit GtkMenuModel(const char* prefix);
    ~GtkMenuModel();
    GtkMenuModel(const GtkMenuModel&) = delete;
    GtkMenuModel& operator=(const GtkMenuModel&) = delete;

    // Rebuilds the model from the menu.
    void build(Menu& menu);
    // Validates every item again and carries the results to the actions.
    void refreshEnabledStates();
    // Gives items whose title changed (validation retitles some: Show/Hide Toolbar) their new label in place, in
    // their own submenu: a rebuild of the whole model would take the bar's menu buttons away under a pointer that
    // is about to press one.
    void retitle();
    GMenuModel* model() const { return G_MENU_MODEL(m_model); }
    GActionGroup* actions() const { return G_ACTION_GROUP(m_actions); }
    // Items, submenu titles and shortcuts in order, so a rebuild is needed only when they change; the titles of
    // items without a submenu are left out (retitle takes those).
    static std::string signature(Menu& menu);

private:
    struct Entry {
        std::weak_ptr<MenuItem> item;
        GSimpleAction* action;
        // Where the item stands in the model (a reference of ours), and the label it shows.
        GMenu* section;
        int position;
        std::string label;
    };
    void forgetEntries();
    // A new GTK item for an entry: its label, action and shortcut.
    GMenuItem* makeItem(const Entry& entry, const MenuItem& item) const;
    void add(GMenu* into, Menu& menu);
    static void onActivate(GSimpleAction*, GVariant*, gpointer self);

    std::string m_prefix;
    GMenu* m_model;
    GSimpleActionGroup* m_actions;
    std::vector<Entry> m_entries;
};

// The main menu as a menu bar at the top of every document window (titled, not a panel or sheet), as Linux
// desktops without a global menu show it. Key equivalents work through the application's key-equivalent search
// whether a bar is shown or not.
class GtkMenuBars {
public:
    explicit GtkMenuBars(GtkBackend& backend);
    ~GtkMenuBars();
    void windowChanged(Window& window, GtkWindowHost& host);
    // The window's host is about to go: its bar goes first.
    void windowGone(long windowNumber);

private:
    struct Bar {
        std::unique_ptr<GtkMenuModel> model;
        GtkWidget* widget { nullptr };
        GtkWindow* window { nullptr };
        GtkWidget* canvas { nullptr };
        std::string signature;
        guint pendingFocusCheck { 0 };
        GtkEventController* keyController { nullptr };
    };
    // Lets go of the bar's window: its signal handlers, its key controller and a pending focus check.
    void forget(Bar& bar);
    static void onPointerEnter(GtkEventControllerMotion*, double, double, gpointer self);
    // F10 (or any key the window sees first) opens the bar from the keyboard: its items are validated first.
    static gboolean onWindowKey(GtkEventControllerKey*, guint keyval, guint, GdkModifierType, gpointer self);
    // The keyboard leaves the bar for the canvas once its menus are closed (Escape, an item chosen), so that
    // typing goes on where it was.
    static void onFocusWidgetChanged(GObject*, GParamSpec*, gpointer self);
    static gboolean returnFocusIfClosed(gpointer self);
    Bar* barOfWindow(GtkWindow* window);
    void refresh(Bar& bar, Menu& menu);

    GtkBackend& m_backend;
    std::map<long, Bar> m_bars;
};

}
