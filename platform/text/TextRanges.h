#pragma once

#include "platform/foundation/String.h"

namespace txt {

// The whole paragraphs touching range, each with its terminator. Paragraphs end at \n, \r, \r\n and U+2029.
fnd::Range paragraphRangeForRange(const fnd::String& string, fnd::Range range);
// The whole lines touching range, each with its terminator: paragraph ends and also U+2028 and U+0085.
fnd::Range lineRangeForRange(const fnd::String& string, fnd::Range range);

// The characters that end a paragraph, and those that end a line without ending the paragraph.
constexpr bool isParagraphSeparator(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2029;
}
constexpr bool isLineSeparator(char16_t c)
{
    return c == 0x2028 || c == 0x0085;
}

}
