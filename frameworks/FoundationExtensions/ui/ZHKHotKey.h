#pragma once

#include "platform/foundation/runtime/Object.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace ui {
class Event;
}

// A global key combination as callers see it: its key code and modifier flags. Two hot keys are equal when both are
// equal, whatever they invoke. The plain class answers nothing else; the hot key centre makes the working ones.
class ZHKHotKey : public fnd::Object {
    FND_OBJECT(ZHKHotKey)

public:
    using Task = std::function<void(const ui::Event&)>;

    ZHKHotKey() = default;
    ZHKHotKey(std::uint16_t keyCode, std::uint64_t modifierFlags)
        : m_keyCode(keyCode)
        , m_modifierFlags(modifierFlags)
    {
    }

    virtual std::shared_ptr<fnd::Object> target() const { return nullptr; }
    virtual fnd::Selector action() const { return {}; }
    virtual fnd::Value object() const { return {}; }
    virtual Task task() const { return {}; }
    virtual std::uint16_t keyCode() const { return m_keyCode; }
    virtual std::uint64_t modifierFlags() const { return m_modifierFlags; }

    std::size_t hash() const override { return static_cast<std::size_t>(modifierFlags() + keyCode()); }
    bool isEqual(const fnd::Object& other) const override;
    // "<class>\n\t(key: <code>\n\tflags: (<names>)\n\tinvokes: [<target> <action>] or (block))".
    fnd::String description() const override;

protected:
    std::uint16_t m_keyCode { 0 };
    std::uint64_t m_modifierFlags { 0 };
};
