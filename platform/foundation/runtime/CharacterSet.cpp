#include "platform/foundation/runtime/CharacterSet.h"

#include "platform/foundation/runtime/Exception.h"

#include <unicode/uniset.h>
#include <unicode/unistr.h>

#include <array>
#include <cstdint>

namespace fnd {

// The ICU set is frozen once built, which makes membership tests fast and safe from any thread. Latin-1 members are
// also kept in a bitmap because most text the program scans (digits, separators, ASCII content) lies there.
struct CharacterSet::Contents {
    icu::UnicodeSet set;
    std::array<std::uint64_t, 4> latin1 {};

    explicit Contents(icu::UnicodeSet s)
        : set(std::move(s))
    {
        set.freeze();
        for (UChar32 c = 0; c < 256; ++c) {
            if (set.contains(c))
                latin1[static_cast<std::size_t>(c) >> 6] |= std::uint64_t(1) << (c & 63);
        }
    }
};

namespace {

constexpr Index MaxCodePoint = 0x10FFFF;

icu::UnicodeSet setFromPattern(const char16_t* pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeSet set(icu::UnicodeString(pattern), status);
    if (U_FAILURE(status))
        throw Exception::internalInconsistency(fmt::format("bad character class pattern: {}", u_errorName(status)));
    return set;
}

// Clamps a code-point range to the Unicode code space; false when nothing of it remains.
bool clampCodePoints(Range r, UChar32& first, UChar32& last)
{
    if (r.length <= 0 || r.location < 0 || r.location > MaxCodePoint)
        return false;
    Index end = r.length > MaxCodePoint + 1 - r.location ? MaxCodePoint + 1 : r.location + r.length;
    first = static_cast<UChar32>(r.location);
    last = static_cast<UChar32>(end - 1);
    return true;
}

void addString(icu::UnicodeSet& set, const String& characters)
{
    auto units = characters.view();
    for (std::size_t i = 0; i < units.size();) {
        auto c = codePointAt(units, i);
        set.add(static_cast<UChar32>(c.value));
        i += c.length;
    }
}

}

CharacterSet::CharacterSet()
    : CharacterSet(std::make_shared<const Contents>(icu::UnicodeSet()))
{
}

CharacterSet::CharacterSet(std::shared_ptr<const Contents> contents)
    : m_contents(std::move(contents))
{
}

template <typename Change> void CharacterSet::change(Change&& change)
{
    std::unique_ptr<icu::UnicodeSet> copy(m_contents->set.cloneAsThawed());
    change(*copy);
    m_contents = std::make_shared<const Contents>(std::move(*copy));
}

// The predefined sets are built once and never destroyed, so static destructors elsewhere may still use them.
#define FND_PREDEFINED_SET(name, pattern)                                                                              \
    const CharacterSet& CharacterSet::name()                                                                           \
    {                                                                                                                  \
        static const CharacterSet* set = new CharacterSet(std::make_shared<const Contents>(setFromPattern(pattern)));  \
        return *set;                                                                                                   \
    }

FND_PREDEFINED_SET(decimalDigitCharacterSet, u"[:Nd:]")
FND_PREDEFINED_SET(whitespaceCharacterSet, u"[[:Zs:]\\u0009]")
FND_PREDEFINED_SET(whitespaceAndNewlineCharacterSet, u"[[:Z:]\\u0009-\\u000D\\u0085]")
FND_PREDEFINED_SET(newlineCharacterSet, u"[\\u000A-\\u000D\\u0085\\u2028\\u2029]")
FND_PREDEFINED_SET(punctuationCharacterSet, u"[:P:]")
FND_PREDEFINED_SET(letterCharacterSet, u"[[:L:][:M:]]")
FND_PREDEFINED_SET(alphanumericCharacterSet, u"[[:L:][:M:][:N:]]")
FND_PREDEFINED_SET(uppercaseLetterCharacterSet, u"[[:Lu:][:Lt:]]")
FND_PREDEFINED_SET(lowercaseLetterCharacterSet, u"[:Ll:]")
FND_PREDEFINED_SET(controlCharacterSet, u"[[:Cc:][:Cf:]]")

#undef FND_PREDEFINED_SET

CharacterSet CharacterSet::characterSetWithCharactersInString(const String& characters)
{
    icu::UnicodeSet set;
    addString(set, characters);
    return CharacterSet(std::make_shared<const Contents>(std::move(set)));
}

CharacterSet CharacterSet::characterSetWithRange(Range codePoints)
{
    icu::UnicodeSet set;
    UChar32 first, last;
    if (clampCodePoints(codePoints, first, last))
        set.add(first, last);
    return CharacterSet(std::make_shared<const Contents>(std::move(set)));
}

bool CharacterSet::longCharacterIsMember(char32_t codePoint) const
{
    if (codePoint < 256)
        return (m_contents->latin1[codePoint >> 6] >> (codePoint & 63)) & 1;
    return codePoint <= 0x10FFFF && m_contents->set.contains(static_cast<UChar32>(codePoint));
}

bool CharacterSet::isEmpty() const
{
    return m_contents->set.isEmpty();
}

CharacterSet CharacterSet::invertedSet() const
{
    CharacterSet copy = *this;
    copy.invert();
    return copy;
}

void CharacterSet::addCharactersInRange(Range codePoints)
{
    UChar32 first, last;
    if (clampCodePoints(codePoints, first, last))
        change([&](icu::UnicodeSet& s) { s.add(first, last); });
}

void CharacterSet::removeCharactersInRange(Range codePoints)
{
    UChar32 first, last;
    if (clampCodePoints(codePoints, first, last))
        change([&](icu::UnicodeSet& s) { s.remove(first, last); });
}

void CharacterSet::addCharactersInString(const String& characters)
{
    change([&](icu::UnicodeSet& s) { addString(s, characters); });
}

void CharacterSet::removeCharactersInString(const String& characters)
{
    icu::UnicodeSet removed;
    addString(removed, characters);
    change([&](icu::UnicodeSet& s) { s.removeAll(removed); });
}

void CharacterSet::formUnionWithCharacterSet(const CharacterSet& other)
{
    auto keep = other.m_contents; // other may be *this
    change([&](icu::UnicodeSet& s) { s.addAll(keep->set); });
}

void CharacterSet::formIntersectionWithCharacterSet(const CharacterSet& other)
{
    auto keep = other.m_contents;
    change([&](icu::UnicodeSet& s) { s.retainAll(keep->set); });
}

void CharacterSet::invert()
{
    change([](icu::UnicodeSet& s) { s.complement(); });
}

bool CharacterSet::operator==(const CharacterSet& other) const
{
    return m_contents == other.m_contents || m_contents->set == other.m_contents->set;
}

}
