#include "platform/backend/gtk/GnomeShortcutProvider.h"

#include "platform/backend/gtk/KeyMapping.h"
#include "platform/ui/desktop/KeyboardLayout.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <memory>

namespace ui {

namespace {

struct GnomeShortcutsUnref {
    void operator()(GSettings* s) const { g_object_unref(s); }
    void operator()(GSettingsSchema* s) const { g_settings_schema_unref(s); }
    void operator()(GVariant* v) const { g_variant_unref(v); }
    void operator()(GSettingsSchemaSource* s) const { g_settings_schema_source_unref(s); }
};

}

const std::vector<const char*>& GnomeShortcutProvider::schemaIds()
{
    static const std::vector<const char*> ids { "org.gnome.desktop.wm.keybindings", "org.gnome.shell.keybindings",
        "org.gnome.mutter.keybindings", "org.gnome.mutter.wayland.keybindings",
        "org.gnome.settings-daemon.plugins.media-keys" };
    return ids;
}

std::optional<SystemShortcut> GnomeShortcutProvider::shortcutForAccelerator(const char* accelerator)
{
    if (!accelerator || !*accelerator)
        return std::nullopt;
    guint keyval = 0;
    GdkModifierType modifiers {};
    if (!gtk_accelerator_parse(accelerator, &keyval, &modifiers) || keyval == 0)
        return std::nullopt;
    auto layout = KeyboardLayout::current();
    auto code = layout ? layout->keyCodeForKeysym(keyval) : std::nullopt;
    if (!code)
        return std::nullopt;
    SystemShortcut shortcut;
    shortcut.keyCode = *code;
    // Shift given as a modifier or implied by an upper-case key ("<Super>A") both count.
    unsigned state = unsigned(modifiers);
    if (gdk_keyval_is_upper(keyval) && !gdk_keyval_is_lower(keyval))
        state |= GDK_SHIFT_MASK;
    shortcut.modifierFlags = keymapping::modifierFlagsForGdkState(state);
    return shortcut;
}

std::optional<std::vector<SystemShortcut>> GnomeShortcutProvider::systemShortcuts() const
{
    std::vector<SystemShortcut> shortcuts;
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    std::unique_ptr<GSettingsSchemaSource, GnomeShortcutsUnref> folderSource;
    if (!m_schemaFolder.empty()) {
        GError* error = nullptr;
        folderSource.reset(g_settings_schema_source_new_from_directory(m_schemaFolder.c_str(), source, FALSE, &error));
        if (!folderSource) {
            // A folder without compiled schemas cannot be read.
            g_clear_error(&error);
            return std::nullopt;
        }
        source = folderSource.get();
    }
    if (!source)
        return shortcuts;
    for (const char* id : schemaIds()) {
        std::unique_ptr<GSettingsSchema, GnomeShortcutsUnref> schema(g_settings_schema_source_lookup(source, id, TRUE));
        if (!schema)
            continue;
        std::unique_ptr<GSettings, GnomeShortcutsUnref> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
        gchar** keyList = g_settings_schema_list_keys(schema.get());
        std::vector<std::string> keys;
        for (gchar** key = keyList; key && *key; ++key)
            keys.emplace_back(*key);
        g_strfreev(keyList);
        // In name order, so the list does not depend on the schema compiler's.
        std::sort(keys.begin(), keys.end());
        for (const auto& key : keys) {
            std::unique_ptr<GVariant, GnomeShortcutsUnref> value(g_settings_get_value(settings.get(), key.c_str()));
            std::vector<const char*> accelerators;
            if (g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING)) {
                accelerators.push_back(g_variant_get_string(value.get(), nullptr));
            } else if (g_variant_is_of_type(value.get(), G_VARIANT_TYPE_STRING_ARRAY)) {
                gsize count = 0;
                const gchar** strings = g_variant_get_strv(value.get(), &count);
                accelerators.assign(strings, strings + count);
                g_free(strings);
            } else {
                continue;
            }
            for (const char* accelerator : accelerators) {
                if (auto shortcut = shortcutForAccelerator(accelerator)) {
                    shortcut->identifier = fnd::String(std::string(id) + "/" + key);
                    shortcuts.push_back(std::move(*shortcut));
                }
            }
        }
    }
    return shortcuts;
}

}
