#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/text/AttributedString.h"

#include <compare>

// Styled text drawn on one line, and comparison and description helpers.
namespace ZORNSAttributedStringExtension {

// How drawInRectangle places the line horizontally.
enum Alignment : int { Left = 0, Right = 1, Centre = 2 };

// Draws the first line of the text in the rectangle of the current context, at the rectangle's top (its minY in a
// flipped context, its maxY otherwise) or centred vertically. When the line is wider than the rectangle, or the text
// goes on after it (a line break), the line is cut at a glyph boundary and "…" (in the attributes of the line's last
// character) takes the end of the line: the right end for left-to-right text, the left end for right-to-left text.
// An empty text draws nothing.
void drawInRectangle(
    const txt::AttributedString& text, const gfx::Rect& rectangle, int alignment, bool verticallyCentered);

// The plain strings compared.
std::weak_ordering caseInsensitiveCompare(const txt::AttributedString& text, const txt::AttributedString& other);
std::weak_ordering localizedCaseInsensitiveCompare(
    const txt::AttributedString& text, const txt::AttributedString& other);

// "<font display name>, <size> pt" ("DejaVu Sans, 12.00 pt"); "" without a font.
fnd::String humanReadableDescriptionForAttributes(const txt::Attributes& attributes);

}
