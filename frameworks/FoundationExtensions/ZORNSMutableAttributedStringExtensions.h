#pragma once

#include "platform/text/AttributedString.h"

#include <functional>
#include <memory>
#include <optional>

namespace gfx {
class Color;
}

// Appending, run-by-run rewriting and link detection on styled text, in place.
namespace ZORNSMutableAttributedStringExtensions {

void appendString(txt::AttributedString& text, const fnd::String& string, const txt::Attributes& attributes);
// With the attributes of the last character (none when the text is empty).
void appendString(txt::AttributedString& text, const fnd::String& string);

// Asked for each matched range: the text's string, the attributes there, the matched range, the attribute run cut
// to the range still to do (and to the match), and whether editing has begun. Answers the text to put in place of
// the matched range, or nullopt to leave it.
using RangeMutator = std::function<std::optional<txt::AttributedString>(const fnd::String& string,
    const txt::Attributes& attributes, fnd::Range matchedRange, fnd::Range attributeRun, bool editingBegun)>;

// Walks the range: with a matching string, every occurrence of it (plain search); without, every attribute run.
// Replacements are made inside one beginEditing/endEditing pair, and the walk goes on after the inserted text.
// True when anything was replaced.
bool mutateRanges(txt::AttributedString& text, const RangeMutator& mutator, fnd::Range inRange,
    const std::optional<fnd::String>& matchingString);
bool mutateRanges(
    txt::AttributedString& text, const RangeMutator& mutator, const std::optional<fnd::String>& matchingString);

// Words (runs between white space and line breaks) that are web or mail addresses become links: a word holding
// "://" or starting with "mailto:" links to itself, one starting with "www.", "ftp." or "gopher." to the address
// with "http://", "ftp://" or "gopher://" before it. Links get the link attribute (the address as a string), a
// single underline and the colour as foreground colour.
void detectURLs(txt::AttributedString& text, const std::shared_ptr<gfx::Color>& color);

}
