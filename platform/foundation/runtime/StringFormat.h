#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/Value.h"

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// printf-style formatting of fnd::String.
//
// String::format(format, arguments) takes its arguments as Values; stringWithFormat(format, args...) converts each
// C++ argument to a Value first. A conversion is
//     % [position$] [flags -+ #0] [width | * | *position$] [. precision | * | *position$] [length] conversion
// with the conversions
//     @        the argument's description ("(null)" for nil)
//     d i      signed integers; u o x X unsigned integers (a negative value wraps as in C)
//     c        a byte (as a Latin-1 character); C a Unicode character (code point)
//     s S      a string (a C string is passed as a String); other values give their description
//     f F e E g G a A   floating point, always with "." as the decimal separator
//     %%       a percent sign
// Length modifiers hh h (none) l ll q z j t L size the integer as C does: "%hu" of 65537 is "1", "%u" of -1 is
// "4294967295", "%lu" of -1 is "18446744073709551615". Width and precision of string conversions count UTF-16 units,
// never splitting a surrogate pair. An unknown conversion, a missing argument or a width or precision above 65535
// raises an invalid-argument exception: formats are written by programmers, never taken from outside.

namespace fnd {

namespace detail {

template <typename T> Value formatArgument(T&& argument)
{
    using Plain = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<Plain, std::string> || std::is_same_v<Plain, std::string_view>) {
        return Value(String(std::string_view(argument)));
    } else if constexpr (std::is_same_v<Plain, std::nullptr_t>) {
        return Value();
    } else if constexpr (std::is_same_v<Plain, char16_t> || std::is_same_v<Plain, char32_t>) {
        return Value(static_cast<unsigned>(argument));
    } else if constexpr (std::is_pointer_v<Plain> || std::is_array_v<Plain>) {
        using Pointee = std::remove_cv_t<std::remove_pointer_t<std::decay_t<Plain>>>;
        static_assert(std::is_same_v<Pointee, char>, "only C strings (char pointers) may be passed as pointers");
        return Value(static_cast<const char*>(argument));
    } else {
        return Value(std::forward<T>(argument));
    }
}

}

template <typename... Args> String stringWithFormat(const String& format, Args&&... arguments)
{
    return String::format(format, std::vector<Value> { detail::formatArgument(std::forward<Args>(arguments))... });
}

}
