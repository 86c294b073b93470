#pragma once

#include "platform/foundation/runtime/String.h"

// Entity encoding and decoding in place.
namespace ZORMutableStringExtension {

// For HTML: the quotation mark, "&", "<" and ">" as named entities, line feeds as "<br>", U+00A0 to U+00FF as the
// HTML 4 Latin-1 entities, and every other character from U+0100 on (apart from U+FFF0 to U+FFFF) as a decimal
// character reference of its code point.
void HTMLEntities(fnd::String& string);
// For XML: the quotation mark, "&", the apostrophe, "<" and ">" as the five predefined entities.
void XMLEntities(fnd::String& string);
// The five predefined XML entities back to their characters, in one pass: "&amp;lt;" becomes "&lt;".
void XMLEntitiesToChars(fnd::String& string);

}
