#pragma once

#include "platform/foundation/runtime/CharacterSet.h"

// The printable ASCII characters that the full-ASCII linear symbologies take: space to tilde, except "=" and the
// grave accent.
namespace PrintableASCII {

inline constexpr const char* Characters
    = " !\"#$%&'()*+,-./0123456789:;<>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_abcdefghijklmnopqrstuvwxyz{|}~";
// How the set is shown to the user.
inline constexpr const char* HumanReadable = "[0-9A-Za-z!\"#$%&'()*+,-./:;<>?@[\\]^{|}~_ ]";

inline fnd::CharacterSet characterSet()
{
    static const auto set = fnd::CharacterSet::characterSetWithCharactersInString(Characters);
    return set;
}

}
