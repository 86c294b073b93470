#pragma once

#include "platform/foundation/Range.h"

#include <compare>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fnd {

// Text as UTF-16 code units. Lengths, indexes and ranges count code units, so a character outside the BMP takes two.
// A value type: copies are independent.
class String {
public:
    String() = default;
    String(const char* utf8);
    String(std::string_view utf8);
    String(const std::string& utf8);
    String(std::u16string units)
        : m_units(std::move(units))
    {
    }
    String(const char16_t* units)
        : m_units(units)
    {
    }
    String(std::u16string_view units)
        : m_units(units)
    {
    }

    static String fromUTF8(std::string_view utf8);
    static String fromCodePoint(char32_t codePoint);

    Index length() const { return static_cast<Index>(m_units.size()); }
    bool isEmpty() const { return m_units.empty(); }
    char16_t characterAt(Index i) const;
    const std::u16string& units() const { return m_units; }
    std::u16string_view view() const { return m_units; }

    std::string utf8() const;

    String substring(Range r) const;
    String substringFrom(Index i) const;
    String substringTo(Index i) const;

    String appending(const String& other) const;
    void append(const String& other) { m_units += other.m_units; }
    void append(char16_t unit) { m_units += unit; }
    void replaceCharacters(Range r, const String& replacement);
    void insert(const String& s, Index at);
    void deleteCharacters(Range r);

    // Hash over the whole content, stable within one process.
    std::size_t hash() const;

    bool operator==(const String& other) const = default;
    // Literal order of code units, as an unqualified compare does.
    std::strong_ordering operator<=>(const String& other) const { return m_units <=> other.m_units; }

    String& operator+=(const String& other)
    {
        m_units += other.m_units;
        return *this;
    }
    friend String operator+(String a, const String& b)
    {
        a += b;
        return a;
    }

private:
    std::u16string m_units;
};

using StringArray = std::vector<String>;

std::ostream& operator<<(std::ostream&, const String&);

}

template <> struct std::hash<fnd::String> {
    std::size_t operator()(const fnd::String& s) const { return s.hash(); }
};
