#pragma once

#include "platform/ui/desktop/SystemShortcuts.h"

#include <string>

namespace ui {

// The key combinations GNOME keeps for itself, read from its key-binding settings through GSettings: the window
// manager's, the shell's, mutter's and the media keys' schemas, where they are installed. Each setting holds
// accelerators ("<Super>Up", "<Primary><Alt>t"), parsed with GTK's accelerator parser; the key becomes the virtual
// key code of the current keyboard layout's key that types it. Without these schemas the list is empty.
class GnomeShortcutProvider final : public SystemShortcutProvider {
public:
    // The schemas installed for the desktop, or (for tests) those compiled in a folder, over the installed ones.
    GnomeShortcutProvider() = default;
    explicit GnomeShortcutProvider(std::string schemaFolder)
        : m_schemaFolder(std::move(schemaFolder))
    {
    }
    std::optional<std::vector<SystemShortcut>> systemShortcuts() const override;

    // The schemas read, in order.
    static const std::vector<const char*>& schemaIds();
    // One accelerator in the platform's terms; nullopt for an empty or unreadable one.
    static std::optional<SystemShortcut> shortcutForAccelerator(const char* accelerator);

private:
    std::string m_schemaFolder;
};

}
