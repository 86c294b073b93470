#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <optional>

// Numbers written as text for lists and outlines.
namespace ZORNSNumberExtensions {

// Kinds of written number.
enum NumberStringType : std::int32_t {
    Decimal = 0,
    UppercaseLetters = 1, // A ... Z, AA, AB, ...
    LowercaseLetters = 2,
    UppercaseRoman = 3, // below 5000; 4000 is "MMMM"
    LowercaseRoman = 4,
};

// The number's unsigned value written in the type; 0 is "NUL" for every type, and so is a Roman numeral from 5000
// on. nullopt for a type not listed above.
std::optional<fnd::String> numberToStringWithType(const fnd::Number& number, std::int32_t type);

}
