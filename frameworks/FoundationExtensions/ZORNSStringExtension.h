#pragma once

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/String.h"
#include "platform/foundation/runtime/StringEncoding.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/Geometry.h"
#include "platform/text/Attributes.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>

namespace gfx {
class Color;
class Font;
}

// String operations used throughout the framework: unique names, entities, key-equivalent glyphs, simple address
// checks, ISBN conversion, name splitting, percent encoding, a window of text and one-line drawing. Results are new
// strings; "not found" is fnd::NotFound.
namespace ZORNSStringExtension {

// The text decoded from the data; nullopt when it does not decode in that encoding.
std::optional<fnd::String> stringWithData(const fnd::Data& data, fnd::StringEncoding encoding);

// The string run through ZORMutableStringExtension's HTMLEntities, XMLEntities and XMLEntitiesToChars.
fnd::String stringByConvertCharactersToHTML(const fnd::String& string);
fnd::String stringByConvertCharactersToXML(const fnd::String& string);
fnd::String stringByConvertXMLToChars(const fnd::String& string);

// The string repeated; nothing for a count of 0 or less.
fnd::String stringWithString(const fnd::String& string, fnd::Index repeatTimes);
fnd::String stringWithStrings(std::initializer_list<fnd::String> strings);

// A name the array does not hold: the string itself when free, else its stem (the string without a trailing
// counter, never counting the first character as one) followed by " 1", " 2", ... counting on from the counter.
fnd::String uniqueStringWithString(const fnd::String& string, const fnd::StringArray& stringArray);
// The same on the names without their path extensions; the extension is put back.
fnd::String uniqueFilenameWithString(const fnd::String& string, const fnd::StringArray& filenameArray);
// The name with the localised copy word appended (unless it holds it already), then made unique.
fnd::String uniqueCopyStringWithString(const fnd::String& string, const fnd::StringArray& stringArray);

// A new random identifier in its standard text form.
fnd::String UUID();

// The type identifier of the file at the path (see fnd::Workspace); nullopt when it cannot be read.
std::optional<fnd::String> universalTypeForFile(const fnd::String& path);

// The glyphs of the modifiers in the mask (Command, Option, Control, Shift, in that order; ui::ModifierFlags bits),
// then the key.
fnd::String stringForKeyEquivalent(const fnd::String& keyEquivalent, std::uint64_t modifierMask);

// The current date as "%Y%m%d%H%M%S%z%F" in the local time zone, for names of files written in one go.
fnd::String timeStampForFileOperation();

// "-" for 0, else up to five stars (U+272D).
fnd::String stringForRating(fnd::Index rating);

// Loose plausibility checks, not validation: an "@" and a "." neither first nor last (e-mail); a "." neither first
// nor last (web address).
bool validateEMailAddress(const fnd::String& address);
bool validateURL(const fnd::String& url);
// The string itself when it holds "://", else "http://" and the string.
fnd::String completedURLStringForString(const fnd::String& string);
// Percent escapes decoded (when they decode as UTF-8), then added again for every character a URL may not hold.
fnd::String convertToURLConformString(const fnd::String& string);

// One-character strings, made once per process.
const fnd::String& horizontalEllipsisString();
const fnd::String& leftPointingDoubleAngleQuotationMarkString();
const fnd::String& rightPointingDoubleAngleQuotationMarkString();
const fnd::String& emdashString();
const fnd::String& endashString();
const fnd::String& commandKeyIndicatorString();
const fnd::String& alternateKeyIndicatorString();
const fnd::String& shiftKeyIndicatorString();

// The string of one Unicode scalar (a surrogate pair above U+FFFF).
fnd::String stringWithCharacter(char32_t character);

// "/", ":" and "\" each replaced by "-".
fnd::String stringByReplacNotFilenameConformCharacters(const fnd::String& string);
// Without any character of the set; the options are those of a character-set search (Backwards is ignored).
fnd::String stringByRemovingCharactersInSet(const fnd::String& string, const fnd::CharacterSet& set,
    fnd::StringCompareOptions options = fnd::StringCompareOptions::None);
fnd::String stringByRemovingCharacter(const fnd::String& string, char32_t character);
fnd::String stringByAppendingEllipsis(const fnd::String& string);
fnd::String stringByReplaceOccurrencesOfString(const fnd::String& string, const fnd::String& target,
    const fnd::String& replacement, fnd::StringCompareOptions options, fnd::Range range);

// Draws the string on one line in the rectangle (ZORNSAttributedStringExtension::drawInRectangle); alignment 0 left,
// 1 right, 2 centre. The font and colour forms add each attribute only when given.
void drawWithFontAttributes(const fnd::String& string, const txt::Attributes& attributes, int alignment,
    bool verticallyCenter, const gfx::Rect& rectangle);
void drawWithFontAttributes(
    const fnd::String& string, const txt::Attributes& attributes, int alignment, const gfx::Rect& rectangle);
void drawWithFont(const fnd::String& string, const std::shared_ptr<gfx::Font>& font,
    const std::shared_ptr<gfx::Color>& color, int alignment, bool verticallyCenter, const gfx::Rect& rectangle);
void drawWithFont(const fnd::String& string, const std::shared_ptr<gfx::Font>& font,
    const std::shared_ptr<gfx::Color>& color, int alignment, const gfx::Rect& rectangle);

// At most maxCharacters of text around the range, with "…" where text was left out and line breaks as blanks; the
// whole string unchanged when it is not longer than that or the range is not found.
fnd::String displayStringForRange(const fnd::String& string, fnd::Range range, fnd::Index maxCharacters);

// ISBN-10 to ISBN-13 ("978" prefix) and back, with recomputed check digits. nullopt when the characters used are not
// digits (an ISBN-10 may end in "X"), or when an ISBN-13 does not start with "978" (979 numbers have no ISBN-10).
std::optional<fnd::String> convertISBN10ToISBN13(const fnd::String& string);
std::optional<fnd::String> convertISBN13ToISBN10(const fnd::String& string);

// { first name, last name }: "Last, First", "First von Last" and "First Last" forms.
fnd::StringArray firstAndLastNameOfNameString(const fnd::String& string);

// The 18 reserved characters of RFC 3986 as upper-case escapes; nothing else changes.
fnd::String percentEncodedRfc3986String(const fnd::String& string);
// Every percent escape decoded as UTF-8; nullopt when an escape is malformed or the bytes are not UTF-8.
std::optional<fnd::String> decodeAllPercentEscapes(const fnd::String& string);

// Whether the type identifier conforms to the type, or to any type of the array (strings; other values are skipped).
bool UTIConformsTo(const fnd::String& type, const fnd::String& conformsToType);
bool UTIConformsToUTIOf(const fnd::String& type, const fnd::Array& types);

}
