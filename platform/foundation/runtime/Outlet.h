#pragma once

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Object.h"

#include <fmt/format.h>

#include <memory>
#include <string_view>

namespace fnd {

// The object an interface file connects to an outlet, as the kind the outlet holds. An object of another kind is
// refused with a sentence naming its class (the file's load then fails at the key), never silently dropped; nil
// stays nil.
template <typename Kind>
std::shared_ptr<Kind> outletOfKind(const std::shared_ptr<Object>& object, std::string_view kind)
{
    auto outlet = std::dynamic_pointer_cast<Kind>(object);
    if (object && !outlet)
        throw Exception::invalidArgument(String(fmt::format("A {} is not a {}.", object->className().utf8(), kind)));
    return outlet;
}

}
