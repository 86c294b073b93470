#pragma once

#include "platform/text/AttributedString.h"

// Searches over the attribute runs of a text; nothing found gives a range at fnd::NotFound.
namespace ZORNSTextStorageExtensions {

// From the start index on, the first longest run whose value for the attribute is the object itself (the same
// object; plain values such as numbers and strings count as the same when equal).
fnd::Range longestRangeForAttribute(const txt::AttributedString& text, const fnd::String& attribute,
    const fnd::Value& object, std::uint32_t startAtIndex);
// The same over effective runs, which may be shorter.
fnd::Range rangeForAttribute(const txt::AttributedString& text, const fnd::String& attribute, const fnd::Value& object,
    std::uint32_t startAtIndex);
// The run of the first character in the range that has the attribute at all, cut to the range.
fnd::Range rangeForAttribute(const txt::AttributedString& text, const fnd::String& attribute, fnd::Range inRange);

}
