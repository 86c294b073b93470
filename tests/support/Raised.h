#pragma once

#include "platform/foundation/runtime/Exception.h"

#include <optional>

// The exception the call raises, or none when it returns normally.
template <typename F> std::optional<fnd::Exception> raised(F&& f)
{
    try {
        f();
    } catch (const fnd::Exception& e) {
        return e;
    }
    return std::nullopt;
}
