#pragma once

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/String.h"

#include <cstdint>
#include <optional>

namespace fnd {

// Reads numbers from the front of a text, step by step. Before each number the characters to be skipped (white
// space and line breaks unless changed) are passed over; a failed scan leaves the scan location where it was.
class Scanner {
public:
    explicit Scanner(String text);

    const String& string() const { return m_text; }
    Index scanLocation() const { return m_location; }
    void setScanLocation(Index location);
    // True when only characters to be skipped remain.
    bool isAtEnd() const;

    const CharacterSet& charactersToBeSkipped() const { return m_skipped; }
    void setCharactersToBeSkipped(CharacterSet skipped) { m_skipped = std::move(skipped); }
    // The decimal separator of floating-point numbers: "." unless set, for instance to a locale's separator.
    const String& decimalSeparator() const { return m_decimalSeparator; }
    void setDecimalSeparator(String separator) { m_decimalSeparator = std::move(separator); }

    // [+-] digits; saturates at the limits of 64 bits (the largest value also results from an overflow).
    std::optional<std::int64_t> scanInteger();
    // [+-] digits [separator digits] [exponent].
    std::optional<double> scanDouble();
    std::optional<float> scanFloat();

private:
    std::size_t skip() const;

    String m_text;
    Index m_location = 0;
    CharacterSet m_skipped = CharacterSet::whitespaceAndNewlineCharacterSet();
    String m_decimalSeparator = ".";
};

}
