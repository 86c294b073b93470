#pragma once

#include "frameworks/FoundationExtensions/ui/ZHKHotKey.h"

#include <functional>
#include <vector>

// A hot key the centre registered: what it invokes and its registration with the window system.
// (The platform's private name for it begins with an underscore and a capital, which C++ reserves.) Asked for its
// class, in its description too, it answers ZHKHotKey: callers only ever see the public class.
class ZHKRegisteredHotKey final : public ZHKHotKey {
public:
    const fnd::ClassInfo& classInfo() const override { return ZHKHotKey::staticClassInfo(); }

    ZHKRegisteredHotKey() = default;
    ZHKRegisteredHotKey(std::uint16_t keyCode, std::uint64_t modifierFlags)
        : ZHKHotKey(keyCode, modifierFlags)
    {
    }
    ~ZHKRegisteredHotKey() override;

    std::shared_ptr<fnd::Object> target() const override { return m_target; }
    void setTarget(std::shared_ptr<fnd::Object> target) { m_target = std::move(target); }
    fnd::Selector action() const override { return m_action; }
    void setAction(fnd::Selector action) { m_action = action; }
    fnd::Value object() const override { return m_object; }
    void setObject(fnd::Value object) { m_object = std::move(object); }
    Task task() const override { return m_task; }
    void setTask(Task task) { m_task = std::move(task); }
    // The combination. A registered hot key takes its grab along, under the same number: the new combination is
    // grabbed before the old one is let go, so the hot key always answers for what is grabbed. A change the window
    // system refuses, or onto a combination the centre keeps for another hot key, is logged and leaves everything as
    // it was.
    void setKeyCode(std::uint16_t keyCode) { changeCombination(keyCode, m_modifierFlags); }
    void setModifierFlags(std::uint64_t modifierFlags) { changeCombination(m_keyCode, modifierFlags); }
    // The number, for a hot key before it registers: registering gives it a new one.
    std::uint32_t hotKeyID() const { return m_hotKeyID; }
    void setHotKeyID(std::uint32_t hotKeyID) { m_hotKeyID = hotKeyID; }
    // The registration with the window system as a value; nil when not registered.
    fnd::Value hotKeyRef() const { return m_registration ? fnd::Value(m_registration) : fnd::Value(); }
    bool isRegistered() const { return m_registration != 0; }
    fnd::String actionString() const { return m_action ? m_action.name() : fnd::String(); }

    // With the window system; failures are logged. Registering a registered hot key again does nothing and answers
    // true: it keeps its one registration (of its present combination) and number.
    bool registerHotKey();
    void unregisterHotKey();
    // The target's action with the event and the object when the target answers it, else the task.
    void invokeWithEvent(const ui::Event& event);

private:
    void changeCombination(std::uint16_t keyCode, std::uint64_t modifierFlags);

    std::shared_ptr<fnd::Object> m_target;
    fnd::Selector m_action;
    fnd::Value m_object;
    Task m_task;
    std::uint32_t m_hotKeyID { 0 };
    std::uint32_t m_registration { 0 };
};

// The process's global hot keys, fired when their key is released, on the main thread. Every centre object works
// on the one shared set. A key combination is registered once.
class ZHKHotKeyCenter {
public:
    using Predicate = std::function<bool(const ZHKRegisteredHotKey&)>;

    bool registerHotKeyWithKeyCode(std::uint16_t keyCode, std::uint64_t modifierFlags, ZHKHotKey::Task task);
    bool registerHotKeyWithKeyCode(std::uint16_t keyCode, std::uint64_t modifierFlags,
        std::shared_ptr<fnd::Object> target, fnd::Selector action, fnd::Value object);
    bool hasRegisteredHotKeyWithKeyCode(std::uint16_t keyCode, std::uint64_t modifierFlags) const;
    std::vector<std::shared_ptr<ZHKRegisteredHotKey>> hotKeysMatchingPredicate(const Predicate& predicate) const;
    void unregisterHotKeysMatchingPredicate(const Predicate& predicate);
    // Removes the hot key from the set, if it is there, and unregisters it; raises an invalid-argument exception
    // ("Invalid hotkey") for a hot key the centre did not make.
    void unregisterHotKey(const std::shared_ptr<ZHKHotKey>& hotKey);
    void unregisterHotKeysWithTarget(const fnd::Object* target);
    void unregisterHotKeysWithTarget(const fnd::Object* target, fnd::Selector action);
    void unregisterHotKeyWithKeyCode(std::uint16_t keyCode, std::uint64_t modifierFlags);
    std::vector<std::shared_ptr<ZHKRegisteredHotKey>> registeredHotKeys() const;

    // What the window system calls when a registered key is released: finds the hot key by its number and invokes
    // it with a key-up event. A number no hot key has is ignored.
    static void handleHotKeyReleased(std::uint32_t hotKeyID);

private:
    bool add(const std::shared_ptr<ZHKRegisteredHotKey>& hotKey);
};
