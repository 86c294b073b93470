#pragma once

#include "platform/foundation/runtime/Range.h"
#include "platform/foundation/runtime/String.h"

#include <memory>

namespace fnd {

// A set of Unicode code points, astral ones included. A value type: copies share their contents until one of them
// changes (the shared contents are immutable, so sets may be read from several threads).
class CharacterSet {
public:
    // The empty set.
    CharacterSet();

    // General category Nd.
    static const CharacterSet& decimalDigitCharacterSet();
    // General category Zs and the tab.
    static const CharacterSet& whitespaceCharacterSet();
    // General category Z, U+0009 to U+000D and NEL (U+0085).
    static const CharacterSet& whitespaceAndNewlineCharacterSet();
    // LF, VT, FF, CR, NEL, the line and the paragraph separator.
    static const CharacterSet& newlineCharacterSet();
    // General category P.
    static const CharacterSet& punctuationCharacterSet();
    // General categories L and M.
    static const CharacterSet& letterCharacterSet();
    // General categories L, M and N.
    static const CharacterSet& alphanumericCharacterSet();
    // General categories Lu and Lt.
    static const CharacterSet& uppercaseLetterCharacterSet();
    // General category Ll.
    static const CharacterSet& lowercaseLetterCharacterSet();
    // General categories Cc and Cf.
    static const CharacterSet& controlCharacterSet();

    // Every code point of the string (a surrogate pair counts as its one code point).
    static CharacterSet characterSetWithCharactersInString(const String& characters);
    // The code points location ..< location + length; parts beyond U+10FFFF are ignored.
    static CharacterSet characterSetWithRange(Range codePoints);

    bool characterIsMember(char16_t unit) const { return longCharacterIsMember(unit); }
    bool longCharacterIsMember(char32_t codePoint) const;
    bool isEmpty() const;

    CharacterSet invertedSet() const;

    void addCharactersInRange(Range codePoints);
    void removeCharactersInRange(Range codePoints);
    void addCharactersInString(const String& characters);
    void removeCharactersInString(const String& characters);
    void formUnionWithCharacterSet(const CharacterSet& other);
    void formIntersectionWithCharacterSet(const CharacterSet& other);
    void invert();

    bool operator==(const CharacterSet& other) const;

private:
    struct Contents;
    explicit CharacterSet(std::shared_ptr<const Contents> contents);
    template <typename Change> void change(Change&& change);

    std::shared_ptr<const Contents> m_contents;
};

}
