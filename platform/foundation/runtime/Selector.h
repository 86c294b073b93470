#pragma once

#include "platform/foundation/runtime/String.h"

#include <functional>

namespace fnd {

// An interned method name, for target-action, the responder chain, validation and cancellable performs.
// Two selectors with the same name are the same selector; comparing them compares one pointer.
class Selector {
public:
    Selector() = default;
    explicit Selector(const String& name);
    Selector(const char* name)
        : Selector(String(name))
    {
    }

    const String& name() const;
    bool isNull() const { return m_name == nullptr; }
    explicit operator bool() const { return m_name != nullptr; }

    bool operator==(const Selector& other) const { return m_name == other.m_name; }
    std::size_t hash() const { return std::hash<const void*>()(m_name); }

private:
    const String* m_name { nullptr };
};

}

template <> struct std::hash<fnd::Selector> {
    std::size_t operator()(const fnd::Selector& s) const { return s.hash(); }
};
