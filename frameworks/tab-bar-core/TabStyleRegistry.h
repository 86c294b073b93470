#pragma once

#include "platform/foundation/runtime/Object.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// The looks of a tab-bar family by name. Each style adds itself when its library loads (TabStyleRegistration in
// its own source file), so neither the bar nor the registry names the styles.
namespace tbcore {

template <typename Style> class TabStyleRegistry {
public:
    using Factory = std::function<std::shared_ptr<Style>()>;

    // Stores the class under the name, replacing an earlier class of that name.
    void registerStyle(const fnd::String& name, const fnd::ClassInfo& styleClass, Factory factory)
    {
        std::lock_guard guard(m_lock);
        m_entries[name] = Entry { &styleClass, std::move(factory) };
    }
    void unregisterStyle(const fnd::String& name)
    {
        std::lock_guard guard(m_lock);
        m_entries.erase(name);
    }
    // Every registered class, in the order of their names.
    std::vector<const fnd::ClassInfo*> registeredClasses() const
    {
        std::lock_guard guard(m_lock);
        std::vector<const fnd::ClassInfo*> classes;
        for (const auto& [name, entry] : m_entries)
            classes.push_back(entry.styleClass);
        return classes;
    }
    std::vector<fnd::String> registeredNames() const
    {
        std::lock_guard guard(m_lock);
        std::vector<fnd::String> names;
        for (const auto& [name, entry] : m_entries)
            names.push_back(name);
        return names;
    }
    // nullptr for a name nobody registered.
    const fnd::ClassInfo* classForName(const fnd::String& name) const
    {
        std::lock_guard guard(m_lock);
        auto found = m_entries.find(name);
        return found == m_entries.end() ? nullptr : found->second.styleClass;
    }
    // A new style of the name; nullptr for a name nobody registered.
    std::shared_ptr<Style> makeStyle(const fnd::String& name) const
    {
        Factory factory;
        {
            std::lock_guard guard(m_lock);
            auto found = m_entries.find(name);
            if (found == m_entries.end())
                return nullptr;
            factory = found->second.factory;
        }
        return factory();
    }

private:
    struct Entry {
        const fnd::ClassInfo* styleClass;
        Factory factory;
    };
    mutable std::mutex m_lock;
    std::map<fnd::String, Entry> m_entries;
};

// Registers a style class of a family at load time: `static const tbcore::TabStyleRegistration<Family, QFAquaTabStyle>
// registration;` where Family::shared() is the family's registry and the style answers styleName() and create().
template <typename Registry, typename Style> struct TabStyleRegistration {
    TabStyleRegistration()
    {
        Registry::shared().registerStyle(Style::styleName(), Style::staticClassInfo(), [] { return Style::create(); });
    }
};

}
