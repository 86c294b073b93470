#pragma once

// Shaping, font fallback, line breaks and bidi levels for the layout code. Platform code only.

#include "platform/graphics/Font.h"

#include <memory>
#include <string_view>
#include <vector>

namespace txt::detail {

struct ShapedGlyph {
    gfx::Glyph glyph;
    std::uint32_t cluster; // UTF-16 index into the shaped text
    double advance; // points
    double dx; // offsets from the pen position, points, y up
    double dy;
};

// Shapes text[start, start + length) in the font, with the rest of text as context. Ligatures are off, so
// characters keep their own glyphs. Glyphs come in visual order (right to left text reversed). A run shaped before
// on this thread (same face, size, direction, text and the context HarfBuzz reads) is taken from a cache.
std::vector<ShapedGlyph> shapeText(
    const gfx::Font& font, std::u16string_view text, std::size_t start, std::size_t length, bool rightToLeft);
// Empties this thread's cache of shaped runs.
void forgetShapedRuns();
// How many shaped runs this thread's cache holds.
std::size_t shapedRunCount();

// An installed font at the same size that has a glyph for the character; nullptr when none has.
std::shared_ptr<gfx::Font> fallbackFontForCharacter(const gfx::Font& font, char32_t character);

// Whether a line may break before each index of text (index 0 and text.size() included).
std::vector<bool> lineBreakOpportunities(std::u16string_view text);

// The bidi embedding level of each unit of a paragraph, and the paragraph's own level (0 or 1, from its first
// strong character).
struct BidiLevels {
    std::vector<std::uint8_t> levels;
    std::uint8_t paragraphLevel { 0 };
};
BidiLevels bidiLevels(std::u16string_view paragraph);

// Logical indexes in visual order, for a line's levels.
std::vector<std::int32_t> visualOrder(const std::vector<std::uint8_t>& levels);

// Whether the code point is a combining mark or joiner that goes with the character before it.
bool continuesCluster(char32_t character);
bool isWhitespace(char32_t character);

}
