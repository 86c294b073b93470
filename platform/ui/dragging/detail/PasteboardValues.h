#pragma once

#include "platform/foundation/runtime/Value.h"

#include <optional>

// How a value stored under one form is read back in another: a string as UTF-8 bytes, a property list as its XML
// form, and bytes as text or a property list when they parse as one.
namespace ui::detail {

bool isPropertyList(const fnd::Value& value);
std::optional<fnd::Data> dataOf(const fnd::Value& stored);
std::optional<fnd::String> stringOf(const fnd::Value& stored);
fnd::Value propertyListOf(const fnd::Value& stored);

}
