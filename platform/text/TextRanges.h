#pragma once

#include "platform/foundation/runtime/String.h"

namespace txt {

// The whole paragraphs touching range, each with its terminator. Paragraphs end at \n, \r, \r\n and U+2029.
fnd::Range paragraphRangeForRange(const fnd::String& string, fnd::Range range);
// The whole lines touching range, each with its terminator: paragraph ends and also U+2028 and U+0085.
fnd::Range lineRangeForRange(const fnd::String& string, fnd::Range range);

// Word moves by ICU's word boundaries (dictionary-based for scripts written without spaces), within paragraphs:
// forward to the end of the word the index is in or the next one, backward to the start of the word before the
// index. Past the last word the move goes to the text's end (or start).
fnd::Index nextWordFromIndex(const fnd::String& string, fnd::Index index, bool forward);
// What a double click at the index selects: the word there, or the run of space or punctuation between words.
fnd::Range doubleClickAtIndex(const fnd::String& string, fnd::Index index);

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
