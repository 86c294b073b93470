// Feeds arbitrary text (as UTF-8, or as raw UTF-16 units with lone surrogates) through the string operations that
// read outside data: percent decoding, numeric prefixes, the scanner, composed characters, search and paths.
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/Scanner.h"
#include "platform/foundation/runtime/String.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace fnd;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

String textFrom(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && (data[0] & 1)) {
        std::u16string units;
        for (std::size_t i = 1; i + 1 < size; i += 2)
            units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        return String(std::move(units));
    }
    return String(std::string_view(reinterpret_cast<const char*>(data), size));
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096)
        return 0;
    String text = textFrom(data, size);
    auto options = static_cast<StringCompareOptions>(size ? data[size - 1] & 0x4F : 0);

    if (auto decoded = text.stringByRemovingPercentEncoding())
        (void)decoded->utf8();
    const auto& letters = CharacterSet::alphanumericCharacterSet();
    if (auto encoded = text.stringByAddingPercentEncodingWithAllowedCharacters(letters)) {
        auto back = encoded->stringByRemovingPercentEncoding();
        check(back && *back == text);
    }

    (void)text.doubleValue();
    (void)text.integerValue();
    (void)text.boolValue();
    Scanner scanner(text);
    scanner.setDecimalSeparator(",");
    while (scanner.scanDouble() || scanner.scanInteger()) { }

    // The first units are enough to meet every kind of sequence; the rest would repeat them.
    for (Index i = 0; i < std::min<Index>(text.length(), 64); ++i) {
        Range r = text.rangeOfComposedCharacterSequenceAtIndex(i);
        check(r.location <= i && i < r.max() && r.max() <= text.length());
    }

    Index half = text.length() / 2;
    String needle = text.substring({ half, text.length() - half });
    Range found = text.rangeOfString(needle, options);
    check(found.location == NotFound || found.max() <= text.length());
    bool literal = hasOption(options, StringCompareOptions::Literal)
        && !hasOption(options, StringCompareOptions::CaseInsensitive);
    if (literal && !needle.isEmpty() && !hasOption(options, StringCompareOptions::Anchored))
        check(found.location != NotFound);
    (void)text.compare(needle, options | StringCompareOptions::Numeric);
    Range character = text.rangeOfCharacterFromSet(CharacterSet::punctuationCharacterSet(), options);
    check(character.location == NotFound || character.max() <= text.length());
    String replaced = text.stringByReplacingOccurrencesOfString(needle, "x", options);
    (void)replaced;

    (void)text.capitalizedString();
    (void)text.uppercaseString();
    (void)text.stringByDeletingPathExtension().pathComponents();
    (void)text.stringByAppendingPathComponent(needle).lastPathComponent();
    return 0;
}
