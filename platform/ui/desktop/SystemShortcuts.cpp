#include "platform/ui/desktop/SystemShortcuts.h"

#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

#include <map>

namespace ui {

namespace {

std::shared_ptr<SystemShortcutProvider>& systemShortcutsSharedSlot()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& provider = *new std::shared_ptr<SystemShortcutProvider>(std::make_shared<SystemShortcutProvider>());
    return provider;
}

struct SystemShortcutsPauseEntry {
    std::weak_ptr<Window> window;
    const Window* identity { nullptr };
};

struct SystemShortcutsPauses {
    SystemShortcutPause::Token next { 1 };
    std::map<SystemShortcutPause::Token, SystemShortcutsPauseEntry> entries;

    long countFor(const Window* identity) const
    {
        long count = 0;
        for (const auto& [token, entry] : entries)
            count += entry.identity == identity && !entry.window.expired();
        return count;
    }
};

SystemShortcutsPauses& systemShortcutsPauses()
{
    static SystemShortcutsPauses pauses;
    return pauses;
}

}

std::shared_ptr<SystemShortcutProvider> SystemShortcutProvider::shared()
{
    return systemShortcutsSharedSlot();
}

void SystemShortcutProvider::setShared(std::shared_ptr<SystemShortcutProvider> provider)
{
    systemShortcutsSharedSlot() = provider ? std::move(provider) : std::make_shared<SystemShortcutProvider>();
}

namespace SystemShortcutPause {

Token pause(Window& window)
{
    auto& pauses = systemShortcutsPauses();
    const bool first = pauses.countFor(&window) == 0;
    Token token = pauses.next++;
    pauses.entries[token] = { std::static_pointer_cast<Window>(window.shared_from_this()), &window };
    if (first)
        Backend::current().setSystemShortcutsInhibited(window, true);
    return token;
}

void resume(Token token)
{
    auto& pauses = systemShortcutsPauses();
    auto it = pauses.entries.find(token);
    if (it == pauses.entries.end())
        return;
    auto window = it->second.window.lock();
    const Window* identity = it->second.identity;
    pauses.entries.erase(it);
    if (window && pauses.countFor(identity) == 0)
        Backend::current().setSystemShortcutsInhibited(*window, false);
}

bool isPaused(const Window& window)
{
    return systemShortcutsPauses().countFor(&window) > 0;
}

}

}
