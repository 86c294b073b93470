#pragma once

#include "platform/foundation/runtime/String.h"

#include <initializer_list>

// The texts of the formatters: the table "ZORFormatters" of the application's main bundle. Each key's English text
// is the key itself, so a missing table still gives readable words.
namespace ZFMFormatterStrings {

// The text of the key, or defaultText (the key itself when empty) when the table lacks it.
fnd::String text(const fnd::String& key, const fnd::String& defaultText = {});

// The format ("%@ %@" and the like) filled with the strings in order.
fnd::String fill(const fnd::String& format, std::initializer_list<fnd::String> strings);

// Whether fill can fill the format with count strings: its only conversions are "%@" (at most count of them),
// "%n$@" with n from 1 to count, and "%%". A format read from an archive is checked so, since any other conversion,
// or one more "%@", raises when the phrase is made.
bool isFillableFormat(const fnd::String& format, std::size_t count);

// "Method Not Implemented": the answer of formatters that do not parse.
fnd::String methodNotImplemented();

}
