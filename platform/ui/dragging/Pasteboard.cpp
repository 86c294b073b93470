#include "platform/ui/dragging/Pasteboard.h"

#include "platform/ui/dragging/detail/PasteboardValues.h"
#include "platform/ui/views/Backend.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>

namespace ui {

FND_REGISTER_CLASS(Pasteboard, fnd::Object)

namespace {

struct NamedPasteboards {
    std::mutex mutex;
    std::map<fnd::String, std::shared_ptr<Pasteboard>> byName;
    unsigned long uniqueCounter { 0 };
};

NamedPasteboards& namedPasteboards()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& pasteboards = *new NamedPasteboards;
    return pasteboards;
}

// Change counts go up across all pasteboards, so a count read from a released pasteboard never matches its
// successor by chance.
std::atomic<long> nextChangeCount { 0 };

}

std::shared_ptr<Pasteboard> Pasteboard::pasteboardWithName(const fnd::String& name)
{
    auto& named = namedPasteboards();
    std::lock_guard lock(named.mutex);
    auto& slot = named.byName[name];
    if (!slot) {
        slot = std::make_shared<Pasteboard>();
        slot->m_name = name;
        slot->m_changeCount = ++nextChangeCount;
    }
    return slot;
}

std::shared_ptr<Pasteboard> Pasteboard::pasteboardWithUniqueName()
{
    auto& named = namedPasteboards();
    fnd::String name;
    {
        std::lock_guard lock(named.mutex);
        do
            name = fnd::String("NSUniquePboard-" + std::to_string(++named.uniqueCounter));
        while (named.byName.contains(name));
    }
    return pasteboardWithName(name);
}

void Pasteboard::releaseGlobally()
{
    auto& named = namedPasteboards();
    std::lock_guard lock(named.mutex);
    auto found = named.byName.find(m_name);
    if (found != named.byName.end() && found->second.get() == this)
        named.byName.erase(found);
}

void Pasteboard::dropOwners()
{
    std::vector<std::shared_ptr<PasteboardOwner>> previous;
    for (const auto& weakOwner : m_owners)
        if (auto owner = weakOwner.lock(); owner && std::ranges::find(previous, owner) == previous.end())
            previous.push_back(owner);
    m_owners.clear();
    m_entries.clear();
    m_items.clear();
    m_imageResolution = DefaultImageResolution;
    for (const auto& owner : previous)
        owner->pasteboardChangedOwner(*this);
}

long Pasteboard::declareTypes(const std::vector<fnd::String>& types, std::weak_ptr<PasteboardOwner> owner)
{
    dropOwners();
    m_changeCount = ++nextChangeCount;
    return addTypes(types, std::move(owner));
}

long Pasteboard::addTypes(const std::vector<fnd::String>& types, std::weak_ptr<PasteboardOwner> owner)
{
    const bool hasOwner = !owner.expired();
    if (hasOwner)
        m_owners.push_back(owner);
    for (const auto& type : types) {
        if (auto* entry = find(type)) {
            entry->value = {};
            entry->owner = owner;
            entry->hasOwner = hasOwner;
        } else {
            m_entries.push_back({ type, {}, owner, hasOwner });
        }
    }
    // The window system offers the types to other programs and reads them back from here when asked.
    Backend::current().clipboardChanged(m_name);
    return m_changeCount;
}

long Pasteboard::clearContents()
{
    dropOwners();
    m_changeCount = ++nextChangeCount;
    Backend::current().clipboardChanged(m_name);
    return m_changeCount;
}

void Pasteboard::setImageResolution(double dotsPerInch)
{
    m_imageResolution = std::isnan(dotsPerInch) ? DefaultImageResolution
                                                : std::clamp(dotsPerInch, MinImageResolution, MaxImageResolution);
}

std::vector<fnd::String> Pasteboard::types() const
{
    std::vector<fnd::String> result;
    auto add = [&](const fnd::String& type) {
        if (std::ranges::find(result, type) == result.end())
            result.push_back(type);
    };
    for (const auto& entry : m_entries)
        add(entry.type);
    for (const auto& item : m_items)
        for (const auto& type : item->types())
            add(type);
    return result;
}

std::optional<fnd::String> Pasteboard::availableTypeFromArray(const std::vector<fnd::String>& wanted) const
{
    const auto available = types();
    for (const auto& type : wanted)
        if (std::ranges::find(available, type) != available.end())
            return type;
    return std::nullopt;
}

Pasteboard::Entry* Pasteboard::find(const fnd::String& type)
{
    auto found = std::ranges::find(m_entries, type, &Entry::type);
    return found == m_entries.end() ? nullptr : &*found;
}

const Pasteboard::Entry* Pasteboard::find(const fnd::String& type) const
{
    auto found = std::ranges::find(m_entries, type, &Entry::type);
    return found == m_entries.end() ? nullptr : &*found;
}

void Pasteboard::store(const fnd::String& type, fnd::Value value)
{
    auto* entry = find(type);
    entry->value = std::move(value);
    // Written data is final: the owner is not asked again.
    entry->owner.reset();
    entry->hasOwner = false;
}

bool Pasteboard::setData(const fnd::Data& data, const fnd::String& type)
{
    if (!find(type))
        return false;
    store(type, data);
    return true;
}

bool Pasteboard::setString(const fnd::String& string, const fnd::String& type)
{
    if (!find(type))
        return false;
    store(type, string);
    return true;
}

bool Pasteboard::setPropertyList(const fnd::Value& propertyList, const fnd::String& type)
{
    if (!find(type) || !detail::isPropertyList(propertyList))
        return false;
    store(type, propertyList);
    return true;
}

const fnd::Value* Pasteboard::resolve(const fnd::String& type)
{
    auto* entry = find(type);
    if (!entry)
        return nullptr;
    if (entry->value.isNil() && entry->hasOwner) {
        // Asked once: an owner that writes nothing leaves the type empty rather than being asked on every read.
        auto owner = entry->owner.lock();
        entry->hasOwner = false;
        entry->owner.reset();
        if (owner) {
            auto self = weak_from_this().lock(); // the owner may release the pasteboard
            owner->pasteboardProvideDataForType(*this, type);
            entry = find(type); // the owner may have declared anew
        }
    }
    return entry && !entry->value.isNil() ? &entry->value : nullptr;
}

std::optional<fnd::Data> Pasteboard::dataForType(const fnd::String& type)
{
    if (const auto* value = resolve(type))
        return detail::dataOf(*value);
    for (const auto& item : m_items)
        if (auto data = item->dataForType(type))
            return data;
    return std::nullopt;
}

std::optional<fnd::String> Pasteboard::stringForType(const fnd::String& type)
{
    if (const auto* value = resolve(type))
        return detail::stringOf(*value);
    for (const auto& item : m_items)
        if (auto string = item->stringForType(type))
            return string;
    return std::nullopt;
}

fnd::Value Pasteboard::propertyListForType(const fnd::String& type)
{
    if (const auto* value = resolve(type))
        return detail::propertyListOf(*value);
    for (const auto& item : m_items)
        if (auto list = item->propertyListForType(type); !list.isNil())
            return list;
    return {};
}

bool Pasteboard::writeObjects(const std::vector<std::shared_ptr<PasteboardItem>>& items)
{
    if (std::ranges::any_of(items, [](const auto& item) { return !item; }))
        return false;
    m_items.insert(m_items.end(), items.begin(), items.end());
    return true;
}

bool Pasteboard::canReadItemWithDataConformingToTypes(const std::vector<fnd::String>& types) const
{
    return std::ranges::any_of(
        m_items, [&](const auto& item) { return item->availableTypeFromArray(types).has_value(); });
}

}
