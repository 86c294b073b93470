#include "frameworks/FoundationExtensions/ui/ZHKHotKeyCenter.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/desktop/GlobalHotKeys.h"
#include "platform/ui/views/Event.h"

#include <algorithm>
#include <mutex>
#include <optional>

namespace {

// The one set of registered hot keys and the next hot key number; main thread.
struct Registry {
    std::vector<std::shared_ptr<ZHKRegisteredHotKey>> hotKeys;
    std::uint32_t nextID { 1 };
};

Registry& registry()
{
    static Registry r;
    return r;
}

}

ZHKRegisteredHotKey::~ZHKRegisteredHotKey()
{
    unregisterHotKey();
}

namespace {

// A registration of the combination with the window system that fires the hot key of the number; failures logged.
std::optional<ui::GlobalHotKeys::Registration> grab(
    std::uint16_t keyCode, std::uint64_t modifierFlags, std::uint32_t hotKeyID)
{
    auto registration = ui::GlobalHotKeys::registerHotKey(
        keyCode, static_cast<unsigned>(modifierFlags), [hotKeyID] { ZHKHotKeyCenter::handleHotKeyReleased(hotKeyID); });
    if (!registration) {
        fnd::logf(fnd::LogLevel::Error, "The hot key {} could not be registered: {} {}", keyCode,
            registration.error().localizedDescription().utf8(), registration.error().localizedFailureReason().utf8());
        return std::nullopt;
    }
    return *registration;
}

}

bool ZHKRegisteredHotKey::registerHotKey()
{
    // A second registration would replace this one's handle, and the grab it holds could never be let go. The grab
    // moves with every change of the combination, so the one held is the present one.
    if (m_registration)
        return true;
    const auto id = registry().nextID;
    auto registration = grab(keyCode(), modifierFlags(), id);
    if (!registration)
        return false;
    m_registration = *registration;
    m_hotKeyID = id;
    ++registry().nextID;
    return true;
}

void ZHKRegisteredHotKey::changeCombination(std::uint16_t keyCode, std::uint64_t modifierFlags)
{
    if (keyCode == m_keyCode && modifierFlags == m_modifierFlags)
        return;
    if (!m_registration) {
        m_keyCode = keyCode;
        m_modifierFlags = modifierFlags;
        return;
    }
    // The centre keeps one hot key per combination.
    const auto& kept = registry().hotKeys;
    const bool isKept = std::ranges::any_of(kept, [&](const auto& hotKey) { return hotKey.get() == this; });
    if (isKept && std::ranges::any_of(kept, [&](const auto& hotKey) {
            return hotKey.get() != this && hotKey->keyCode() == keyCode && hotKey->modifierFlags() == modifierFlags;
        })) {
        fnd::logf(fnd::LogLevel::Error, "The hot key {} cannot change to key {}: another hot key has that combination.",
            m_keyCode, keyCode);
        return;
    }
    // The new grab first: when the window system refuses it, the old one is still held.
    auto registration = grab(keyCode, modifierFlags, m_hotKeyID);
    if (!registration)
        return;
    ui::GlobalHotKeys::unregisterHotKey(m_registration);
    m_registration = *registration;
    m_keyCode = keyCode;
    m_modifierFlags = modifierFlags;
}

void ZHKRegisteredHotKey::unregisterHotKey()
{
    if (m_registration)
        ui::GlobalHotKeys::unregisterHotKey(m_registration);
    m_registration = 0;
}

void ZHKRegisteredHotKey::invokeWithEvent(const ui::Event& event)
{
    auto self = shared_from_this();
    if (m_target && m_action && m_target->respondsTo(m_action)) {
        m_target->perform(
            m_action, fnd::Value(std::const_pointer_cast<fnd::Object>(event.shared_from_this())), m_object);
        return;
    }
    if (m_task)
        m_task(event);
}

bool ZHKHotKeyCenter::add(const std::shared_ptr<ZHKRegisteredHotKey>& hotKey)
{
    if (hasRegisteredHotKeyWithKeyCode(hotKey->keyCode(), hotKey->modifierFlags()))
        return false;
    if (!hotKey->registerHotKey())
        return false;
    registry().hotKeys.push_back(hotKey);
    return true;
}

bool ZHKHotKeyCenter::registerHotKeyWithKeyCode(
    std::uint16_t keyCode, std::uint64_t modifierFlags, ZHKHotKey::Task task)
{
    auto hotKey = std::make_shared<ZHKRegisteredHotKey>(keyCode, modifierFlags);
    hotKey->setTask(std::move(task));
    return add(hotKey);
}

bool ZHKHotKeyCenter::registerHotKeyWithKeyCode(std::uint16_t keyCode, std::uint64_t modifierFlags,
    std::shared_ptr<fnd::Object> target, fnd::Selector action, fnd::Value object)
{
    auto hotKey = std::make_shared<ZHKRegisteredHotKey>(keyCode, modifierFlags);
    hotKey->setTarget(std::move(target));
    hotKey->setAction(action);
    hotKey->setObject(std::move(object));
    return add(hotKey);
}

bool ZHKHotKeyCenter::hasRegisteredHotKeyWithKeyCode(std::uint16_t keyCode, std::uint64_t modifierFlags) const
{
    return !hotKeysMatchingPredicate([&](const ZHKRegisteredHotKey& hotKey) {
        return hotKey.keyCode() == keyCode && hotKey.modifierFlags() == modifierFlags;
    }).empty();
}

std::vector<std::shared_ptr<ZHKRegisteredHotKey>> ZHKHotKeyCenter::hotKeysMatchingPredicate(
    const Predicate& predicate) const
{
    std::vector<std::shared_ptr<ZHKRegisteredHotKey>> matching;
    for (const auto& hotKey : registry().hotKeys) {
        if (predicate(*hotKey))
            matching.push_back(hotKey);
    }
    return matching;
}

void ZHKHotKeyCenter::unregisterHotKeysMatchingPredicate(const Predicate& predicate)
{
    auto& hotKeys = registry().hotKeys;
    for (const auto& hotKey : hotKeysMatchingPredicate(predicate)) {
        hotKeys.erase(std::remove(hotKeys.begin(), hotKeys.end(), hotKey), hotKeys.end());
        hotKey->unregisterHotKey();
    }
}

void ZHKHotKeyCenter::unregisterHotKey(const std::shared_ptr<ZHKHotKey>& hotKey)
{
    auto registered = std::dynamic_pointer_cast<ZHKRegisteredHotKey>(hotKey);
    if (!registered)
        throw fnd::Exception::invalidArgument("Invalid hotkey");
    // Also a hot key made by the centre but registered on its own, outside the set.
    auto& hotKeys = registry().hotKeys;
    hotKeys.erase(std::remove(hotKeys.begin(), hotKeys.end(), registered), hotKeys.end());
    registered->unregisterHotKey();
}

void ZHKHotKeyCenter::unregisterHotKeysWithTarget(const fnd::Object* target)
{
    unregisterHotKeysMatchingPredicate(
        [&](const ZHKRegisteredHotKey& hotKey) { return hotKey.target().get() == target; });
}

void ZHKHotKeyCenter::unregisterHotKeysWithTarget(const fnd::Object* target, fnd::Selector action)
{
    unregisterHotKeysMatchingPredicate([&](const ZHKRegisteredHotKey& hotKey) {
        return hotKey.target().get() == target && hotKey.actionString() == (action ? action.name() : fnd::String());
    });
}

void ZHKHotKeyCenter::unregisterHotKeyWithKeyCode(std::uint16_t keyCode, std::uint64_t modifierFlags)
{
    unregisterHotKeysMatchingPredicate([&](const ZHKRegisteredHotKey& hotKey) {
        return hotKey.keyCode() == keyCode && hotKey.modifierFlags() == modifierFlags;
    });
}

std::vector<std::shared_ptr<ZHKRegisteredHotKey>> ZHKHotKeyCenter::registeredHotKeys() const
{
    return hotKeysMatchingPredicate([](const ZHKRegisteredHotKey& hotKey) { return !hotKey.hotKeyRef().isNil(); });
}

void ZHKHotKeyCenter::handleHotKeyReleased(std::uint32_t hotKeyID)
{
    auto matching = ZHKHotKeyCenter().hotKeysMatchingPredicate(
        [&](const ZHKRegisteredHotKey& hotKey) { return hotKey.hotKeyID() == hotKeyID; });
    if (matching.size() > 1)
        fnd::log(fnd::LogLevel::Error, "ERROR!");
    if (matching.empty())
        return;
    auto hotKey = matching.front();
    auto event = ui::Event::keyEventWithType(ui::EventType::KeyUp, ui::Event::mouseLocation(),
        static_cast<unsigned>(hotKey->modifierFlags()), fnd::Clock::current()->now().timeIntervalSinceReferenceDate(),
        -1, {}, {}, false, hotKey->keyCode());
    hotKey->invokeWithEvent(*event);
}
