#include "frameworks/FoundationExtensions/ZORTruncation.h"

namespace ZORTruncation {

const fnd::String& ellipsis()
{
    static const fnd::String s = fnd::String::fromCodePoint(0x2026);
    return s;
}

fnd::String stringWithEllipsisByTruncatingToLength(const fnd::String& string, fnd::Index length)
{
    if (string.length() <= length)
        return string;
    if (length <= 0)
        return {};
    // Keep whole characters only: a cut inside a surrogate pair or a cluster would leave a broken character.
    fnd::Index keep = length - 1;
    if (keep > 0) {
        auto last = string.rangeOfComposedCharacterSequenceAtIndex(keep - 1);
        if (last.max() > keep)
            keep = last.location;
    }
    return string.substringTo(keep) + ellipsis();
}

}
