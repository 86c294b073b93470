#pragma once

#include "platform/graphics/Font.h"

namespace ZORNSFont_Extension {

// The family name, a blank and the style name of the family member whose PostScript name is the font's name (the
// family name alone when no member is), trimmed.
fnd::String fullDisplayName(const gfx::Font& font);
// The name of the font's most compatible string encoding, in the person's language.
fnd::String localizedNameOfMostCompatibleStringEncoding(const gfx::Font& font);

}
