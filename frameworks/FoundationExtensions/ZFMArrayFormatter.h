#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/locale/Formatter.h"

#include <cstdint>
#include <optional>
#include <vector>

// Lists for people: "a, b, and c" (sentence style) or "a, b, c" (plain list), and such lists split back into their
// pieces. Default words come from the main bundle's table "ZORFormatters".
class ZFMArrayFormatter : public fnd::Formatter, public fnd::Coding {
    FND_OBJECT(ZFMArrayFormatter)

public:
    enum ArrayStyle : std::int32_t { Sentence = 0, PlainList = 1 };

    ZFMArrayFormatter();

    static fnd::String localizedStringFromArray(const fnd::Array& array, std::int32_t arrayStyle);

    std::int32_t arrayStyle() const { return m_arrayStyle; }
    void setArrayStyle(std::int32_t style) { m_arrayStyle = style; }
    const fnd::String& delimiter() const { return m_delimiter; }
    void setDelimiter(const fnd::String& delimiter) { m_delimiter = delimiter; }
    const fnd::String& separator() const { return m_separator; }
    void setSeparator(const fnd::String& separator) { m_separator = separator; }
    const fnd::String& conjunction() const { return m_conjunction; }
    void setConjunction(const fnd::String& conjunction) { m_conjunction = conjunction; }
    const fnd::String& abbreviatedConjunction() const { return m_abbreviatedConjunction; }
    void setAbbreviatedConjunction(const fnd::String& conjunction) { m_abbreviatedConjunction = conjunction; }
    bool usesAbbreviatedConjunction() const { return m_usesAbbreviatedConjunction; }
    void setUsesAbbreviatedConjunction(bool uses) { m_usesAbbreviatedConjunction = uses; }
    // The delimiter before the conjunction in lists of three or more ("a, b, and c").
    bool usesSerialDelimiter() const { return m_usesSerialDelimiter; }
    void setUsesSerialDelimiter(bool uses) { m_usesSerialDelimiter = uses; }

    // The elements' descriptions joined; nil elements are left out. rangesOfComponents, when given, receives where
    // each written element stands in the result.
    fnd::String stringFromArray(const fnd::Array& array, std::vector<fnd::Range>* rangesOfComponents = nullptr) const;
    // The pieces of a list, as getObjectValue gives them.
    std::optional<fnd::StringArray> arrayFromString(const fnd::String& string) const;

    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;
    // Split at the delimiter, the conjunction (as a word of its own) in the last piece counting as one more
    // delimiter; separators are kept. An array of strings.
    std::expected<fnd::Value, fnd::String> getObjectValue(const fnd::String& string) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    std::int32_t m_arrayStyle { Sentence };
    fnd::String m_delimiter;
    fnd::String m_separator;
    fnd::String m_conjunction;
    fnd::String m_abbreviatedConjunction;
    bool m_usesAbbreviatedConjunction { false };
    bool m_usesSerialDelimiter { true };
};
