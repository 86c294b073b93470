#pragma once

#include "platform/foundation/archiving/Coding.h"

// What the formatters' archives share.
namespace ZFMFormatterCoding {

// The string archived under the key, into `into`; a key that is missing or holds no string leaves it as it was.
inline void decodeString(fnd::Coder& coder, const fnd::String& key, fnd::String& into)
{
    auto value = coder.decodeObjectForKey(key);
    if (auto* string = value.string())
        into = *string;
}

}
