#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class Window;

// One key combination the desktop keeps for itself (switching windows, the overview, volume keys), in the
// platform's terms: a virtual key code and modifier flags (Command is the Ctrl key, Control the Super key).
struct SystemShortcut {
    fnd::String identifier; // where the desktop keeps it, e.g. "org.gnome.desktop.wm.keybindings/close"
    unsigned short keyCode { 0 };
    unsigned modifierFlags { 0 };
    bool enabled { true };
    bool operator==(const SystemShortcut&) const = default;
};

// Tells which combinations the desktop takes. The GTK backend installs a reader of GNOME's key-binding settings;
// elsewhere, and until then, the desktop takes none. Tests install a fixed list.
class SystemShortcutProvider {
public:
    virtual ~SystemShortcutProvider() = default;
    // nullopt when the desktop has a list that cannot be read now.
    virtual std::optional<std::vector<SystemShortcut>> systemShortcuts() const { return std::vector<SystemShortcut> {}; }

    static std::shared_ptr<SystemShortcutProvider> shared();
    // nullptr installs the empty provider again.
    static void setShared(std::shared_ptr<SystemShortcutProvider> provider);
};

// A list given once (or nullopt, a list that cannot be read).
class FixedSystemShortcutProvider final : public SystemShortcutProvider {
public:
    explicit FixedSystemShortcutProvider(std::optional<std::vector<SystemShortcut>> shortcuts)
        : m_shortcuts(std::move(shortcuts))
    {
    }
    std::optional<std::vector<SystemShortcut>> systemShortcuts() const override { return m_shortcuts; }

private:
    std::optional<std::vector<SystemShortcut>> m_shortcuts;
};

// Lets a window take the combinations the desktop keeps for itself, while a shortcut is being typed into it, so
// that typing one does not switch windows. Pauses nest: the desktop's shortcuts come back when the last pause of the
// window ends (or the window is gone). Main thread.
namespace SystemShortcutPause {

using Token = std::uint64_t; // 0 is no pause

Token pause(Window& window);
// Ends the pause; an unknown or ended token does nothing.
void resume(Token token);
bool isPaused(const Window& window);

}

}
