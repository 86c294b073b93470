#include "platform/foundation/runtime/CharacterSet.h"

#include <gtest/gtest.h>

using namespace fnd;

TEST(CharacterSet, PredefinedSetsFollowTheUnicodeCategories)
{
    using C = CharacterSet;
    struct Case {
        const char* name;
        const CharacterSet& set;
        std::vector<char32_t> members;
        std::vector<char32_t> others;
    };
    const Case cases[] = {
        { "digits", C::decimalDigitCharacterSet(), { '0', '7', 0x0663, 0x1D7CE }, { 'a', 0x00BD, ' ' } },
        { "whitespace", C::whitespaceCharacterSet(), { ' ', '\t', 0x00A0, 0x3000 }, { '\n', '\r', 0x2028, 'x' } },
        { "whitespace and newlines", C::whitespaceAndNewlineCharacterSet(),
            { ' ', '\t', '\n', 0x0B, 0x0C, '\r', 0x85, 0x2028, 0x2029, 0x3000 }, { 0x200B, 'a', 0x1F600 } },
        { "newlines", C::newlineCharacterSet(), { '\n', 0x0B, 0x0C, '\r', 0x85, 0x2028, 0x2029 }, { ' ', '\t', 0x0E } },
        { "punctuation", C::punctuationCharacterSet(), { '.', ',', '-', '"', 0x00BF, 0x3002 }, { '+', '$', 'a', '=' } },
        { "letters", C::letterCharacterSet(), { 'a', 0x00E9, 0x0301, 0x10400, 0x4E2D }, { '1', ' ', '_' } },
        { "alphanumerics", C::alphanumericCharacterSet(), { 'a', '1', 0x00BD, 0x0301, 0x1D7CE },
            { ' ', '.', 0x1F600 } },
        { "upper case", C::uppercaseLetterCharacterSet(), { 'A', 0x01C5, 0x10400 }, { 'a', '1', 0x10428 } },
        { "lower case", C::lowercaseLetterCharacterSet(), { 'a', 0x00DF, 0x10428 }, { 'A', 0x01C5 } },
        { "control", C::controlCharacterSet(), { 0, 0x1F, 0x7F, 0x9F, 0x00AD, 0x200B }, { ' ', 'a', 0xA0 } },
    };
    for (const auto& c : cases) {
        for (char32_t cp : c.members)
            EXPECT_TRUE(c.set.longCharacterIsMember(cp)) << c.name << " lacks U+" << std::hex << unsigned(cp);
        for (char32_t cp : c.others)
            EXPECT_FALSE(c.set.longCharacterIsMember(cp)) << c.name << " holds U+" << std::hex << unsigned(cp);
    }
}

TEST(CharacterSet, BuiltFromStringsAndRanges)
{
    auto fromString = CharacterSet::characterSetWithCharactersInString("a\xF0\x9F\x98\x80");
    EXPECT_TRUE(fromString.characterIsMember('a'));
    EXPECT_TRUE(fromString.longCharacterIsMember(0x1F600));
    // The units of a pair do not enter on their own.
    EXPECT_FALSE(fromString.characterIsMember(0xD83D));
    EXPECT_FALSE(fromString.characterIsMember(0xDE00));

    auto emoticons = CharacterSet::characterSetWithRange({ 0x1F600, 80 });
    EXPECT_TRUE(emoticons.longCharacterIsMember(0x1F600));
    EXPECT_TRUE(emoticons.longCharacterIsMember(0x1F64F));
    EXPECT_FALSE(emoticons.longCharacterIsMember(0x1F650));
    EXPECT_FALSE(emoticons.longCharacterIsMember(0x1F5FF));

    // Ranges reaching past the code space are cut at U+10FFFF; nonsense ranges give the empty set.
    auto top = CharacterSet::characterSetWithRange({ 0x10FFFE, 100 });
    EXPECT_TRUE(top.longCharacterIsMember(0x10FFFF));
    EXPECT_FALSE(top.longCharacterIsMember(0x110000));
    EXPECT_TRUE(CharacterSet::characterSetWithRange({ -5, 3 }).isEmpty());
    EXPECT_TRUE(CharacterSet::characterSetWithRange({ 0x200000, 3 }).isEmpty());
    EXPECT_TRUE(CharacterSet::characterSetWithRange({ 'a', 0 }).isEmpty());
}

TEST(CharacterSet, InvertsAndCombinesWithoutTouchingShares)
{
    const auto& digits = CharacterSet::decimalDigitCharacterSet();
    auto inverted = digits.invertedSet();
    EXPECT_TRUE(inverted.characterIsMember('a'));
    EXPECT_TRUE(inverted.longCharacterIsMember(0x1F600));
    EXPECT_FALSE(inverted.characterIsMember('5'));
    EXPECT_FALSE(inverted.longCharacterIsMember(0x1D7CE));
    EXPECT_EQ(inverted.invertedSet(), digits);

    auto widened = digits;
    widened.addCharactersInString("x");
    widened.formUnionWithCharacterSet(widened);
    EXPECT_TRUE(widened.characterIsMember('x'));
    EXPECT_FALSE(digits.characterIsMember('x'));
    EXPECT_FALSE(CharacterSet::decimalDigitCharacterSet().characterIsMember('x'));

    widened.formIntersectionWithCharacterSet(CharacterSet::characterSetWithRange({ '0', 80 }));
    EXPECT_TRUE(widened.characterIsMember('x'));
    EXPECT_TRUE(widened.characterIsMember('9'));
    EXPECT_FALSE(widened.longCharacterIsMember(0x0663));
    widened.removeCharactersInRange({ '0', 5 });
    EXPECT_FALSE(widened.characterIsMember('4'));
    EXPECT_TRUE(widened.characterIsMember('5'));

    // Printable ASCII without "=" and the grave accent, as a barcode's allowed characters.
    auto printable = CharacterSet::characterSetWithRange({ 0x20, 95 });
    printable.removeCharactersInString("=`");
    int count = 0;
    for (char32_t c = 0; c < 0x100; ++c)
        count += printable.longCharacterIsMember(c);
    EXPECT_EQ(count, 93);
    EXPECT_TRUE(printable.characterIsMember('~'));
    EXPECT_FALSE(printable.characterIsMember('='));

    CharacterSet empty;
    EXPECT_TRUE(empty.isEmpty());
    empty.invert();
    EXPECT_TRUE(empty.longCharacterIsMember(0x10FFFF));
    EXPECT_FALSE(empty.longCharacterIsMember(0x110000));
}
