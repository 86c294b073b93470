#pragma once

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/String.h"

// Small edits the CSV reader makes to a field's text in place.
namespace ZORCSVAdditions {

// Removes as many units as `string` has from the start and from the end, whatever they are; a text too short for
// both becomes empty.
void trimString_csv(fnd::String& text, const fnd::String& string);
void trimCharactersInSet_csv(fnd::String& text, const fnd::CharacterSet& set);
// Every occurrence, searched literally.
void replaceOccurrencesOfString_csv(fnd::String& text, const fnd::String& target, const fnd::String& replacement);

}
