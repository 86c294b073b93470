#pragma once

#include "platform/graphics/Font.h"

// Stand-in underline metrics for fonts that report none (a thickness or position of 0 or less).
namespace TBQUnderlineCategory {

// The mean of the underline thickness (position) of "Helvetica" and "Times" at the font's size.
double valueForInvalidUnderlineThickness(const gfx::Font& font);
double valueForInvalidUnderlinePosition(const gfx::Font& font);

}
