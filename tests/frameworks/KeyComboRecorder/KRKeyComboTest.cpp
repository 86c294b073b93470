#include "frameworks/KeyComboRecorder/KRKeyCombo.h"
#include "frameworks/KeyComboRecorder/KRKeyCodeTransformer.h"

#include "platform/ui/desktop/KeyboardLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

std::string utf8(const fnd::String& s)
{
    return s.utf8();
}

void useLayout(const char* name)
{
    ui::KeyboardLayout::Names names;
    names.layout = name;
    auto layout = ui::KeyboardLayout::layoutWithNames(names);
    ASSERT_TRUE(layout) << name;
    ui::KeyboardLayout::setCurrent(*layout);
}

class KRKeyComboTest : public ::testing::Test {
protected:
    KRKeyComboTest() { useLayout("us"); }
    ~KRKeyComboTest() override { useLayout("us"); }
};

// The five bits map one to one and back; every other bit is dropped both ways.
TEST_F(KRKeyComboTest, FlagConversionBothWays)
{
    const std::pair<std::uint64_t, unsigned> bits[]
        = { { 0x20000, 0x200 }, { 0x40000, 0x1000 }, { 0x80000, 0x800 }, { 0x100000, 0x100 }, { 0x800000, 0x800000 } };
    for (unsigned mask = 0; mask < 32; ++mask) {
        std::uint64_t cocoa = 0;
        unsigned carbon = 0;
        for (unsigned i = 0; i < 5; ++i) {
            if (mask & (1u << i)) {
                cocoa |= bits[i].first;
                carbon |= bits[i].second;
            }
        }
        EXPECT_EQ(KRModifierMaskToCarbon(cocoa), carbon) << "cocoa " << std::hex << cocoa;
        EXPECT_EQ(KRModifierMaskFromCarbon(carbon), cocoa) << "carbon " << std::hex << carbon;
        EXPECT_EQ(KRModifierMaskFromCarbon(KRModifierMaskToCarbon(cocoa | 0x10000 | 0x200000 | 0x1)), cocoa);
        EXPECT_EQ(KRModifierMaskToCarbon(KRModifierMaskFromCarbon(carbon | 0x1 | 0x400 | 0x4000)), carbon);
    }
}

// Glyphs in the order control, option, shift, command; words in the order command, option, control, shift, from the
// string table (Ctrl plays the command key here), then the key's name.
TEST_F(KRKeyComboTest, GlyphsAndReadableWordsInTheirOrders)
{
    EXPECT_EQ(utf8(KRCocoaModifierGlyphs(0x1E0000)), "\u2303\u2325\u21E7\u2318");
    EXPECT_EQ(utf8(KRCarbonModifierGlyphs(0x1B00)), "\u2303\u2325\u21E7\u2318");
    EXPECT_EQ(utf8(KRCocoaModifierGlyphs(0x800000)), "") << "the function key has no glyph";
    EXPECT_EQ(utf8(KRCocoaShortcutGlyphs(0x120000, 40)), "\u21E7\u2318K");
    EXPECT_EQ(utf8(KRCarbonShortcutGlyphs(0x300, 40)), "\u21E7\u2318K");
    EXPECT_EQ(utf8(KRCocoaShortcutReadable(0x1E0000, 0)), "Ctrl + Alt + Super + Shift + A");
    EXPECT_EQ(utf8(KRCarbonShortcutReadable(0x100, 12)), "Ctrl + Q");
    // The empty combination ends in an empty key part.
    EXPECT_EQ(utf8(KRCocoaShortcutGlyphs(0x100000, -1)), "\u2318");
    EXPECT_EQ(utf8(KRCocoaShortcutReadable(0, -1)), "");
}

// Every special key has its fixed name; keypad keys read as "Pad" and their digit; letters as capitals.
TEST_F(KRKeyComboTest, NamesOfEveryListedKey)
{
    const std::pair<int, const char*> names[] = {
        { 122, "F1" },
        { 120, "F2" },
        { 99, "F3" },
        { 118, "F4" },
        { 96, "F5" },
        { 97, "F6" },
        { 98, "F7" },
        { 100, "F8" },
        { 101, "F9" },
        { 109, "F10" },
        { 103, "F11" },
        { 111, "F12" },
        { 105, "F13" },
        { 107, "F14" },
        { 113, "F15" },
        { 106, "F16" },
        { 64, "F17" },
        { 79, "F18" },
        { 80, "F19" },
        { 49, "Space" },
        { 51, "\u232B" },
        { 117, "\u2326" },
        { 71, "\u2327" },
        { 123, "\u2190" },
        { 124, "\u2192" },
        { 126, "\u2191" },
        { 125, "\u2193" },
        { 119, "\u2198" },
        { 115, "\u2196" },
        { 53, "\u238B" },
        { 121, "\u21DF" },
        { 116, "\u21DE" },
        { 36, "\u21A9" },
        { 76, "\u2305" },
        { 48, "\u21E5" },
        { 114, "?" },
        // by the layout
        { 0, "A" },
        { 40, "K" },
        { 18, "1" },
        { 50, "`" },
        { 82, "Pad 0" },
        { 83, "Pad 1" },
        { 92, "Pad 9" },
        { 65, "Pad ." },
        { 67, "Pad *" },
        { 69, "Pad +" },
        { 75, "Pad /" },
        { 78, "Pad -" },
    };
    for (auto [code, name] : names)
        EXPECT_EQ(utf8(KRKeyCodeString(code)), name) << "key code " << code;
    for (int code : { -1, -2, 0x7FFF0000 - 1 })
        EXPECT_EQ(utf8(KRKeyCodeString(code)), "") << "key code " << code;
    EXPECT_EQ(utf8(KRKeyCodeString(0x10000)), "A") << "codes are read as 16-bit numbers";
    EXPECT_EQ(utf8(KRKeyCodeString(55)), "") << "the command key types nothing";
}

TEST_F(KRKeyComboTest, KeyCharactersFollowShiftAndOption)
{
    EXPECT_EQ(utf8(KRKeyCharacterForCocoaFlags(0, 0)), "A");
    EXPECT_EQ(utf8(KRKeyCharacterForCocoaFlags(18, 0)), "1");
    EXPECT_EQ(utf8(KRKeyCharacterForCocoaFlags(18, 0x20000)), "!");
    EXPECT_EQ(utf8(KRKeyCharacterForCarbonFlags(18, 0x200)), "!");
    EXPECT_EQ(utf8(KRKeyCharacterForCocoaFlags(18, 0x100000)), "1") << "Command does not change the character";
    EXPECT_EQ(utf8(KRKeyCharacterForCocoaFlags(122, 0)), "F1") << "a key without a character gives its name";
    useLayout("de");
    EXPECT_EQ(utf8(KRKeyCharacterForCocoaFlags(12, 0x80000)), "@") << "Option is AltGr's level";
}

// The character is capitalised by the rules of the user's language: in Turkish the capital of "i" has a dot.
TEST_F(KRKeyComboTest, KeyCharactersAreCapitalisedForTheCurrentLocale)
{
    const char* before = std::getenv("LC_ALL");
    const std::string saved = before ? before : "";
    setenv("LC_ALL", "tr_TR.UTF-8", 1);
    const auto turkish = KRKeyCharacterForCocoaFlags(34, 0); // the I key
    setenv("LC_ALL", "en_US.UTF-8", 1);
    const auto english = KRKeyCharacterForCocoaFlags(34, 0);
    if (before)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
    EXPECT_EQ(turkish, fnd::String(u"\u0130"));
    EXPECT_EQ(english, fnd::String("I"));
}

// Names map back to their codes; where two keys share a name the higher code wins; the map follows the layout.
TEST_F(KRKeyComboTest, TransformerRoundTripsAndFollowsTheLayout)
{
    KRKeyCodeTransformer transformer;
    EXPECT_TRUE(transformer.allowsReverseTransformation());
    for (long long code = 0; code < 128; ++code) {
        auto name = transformer.transformedValue(fnd::Value(code));
        if (!name.isString())
            continue;
        auto back = transformer.reverseTransformedValue(name);
        ASSERT_TRUE(back.isNumber()) << "code " << code << " name " << name.stringValue().utf8();
        EXPECT_GE(back.integerValue(), code) << name.stringValue().utf8();
        EXPECT_EQ(transformer.transformedValue(back), name) << "code " << code;
    }
    EXPECT_EQ(transformer.reverseTransformedValue(fnd::String("Z")).integerValue(), 6);
    EXPECT_TRUE(transformer.transformedValue(fnd::String("0")).isNil()) << "not a number";
    EXPECT_TRUE(transformer.reverseTransformedValue(fnd::Value(6)).isNil()) << "not a string";
    EXPECT_TRUE(transformer.reverseTransformedValue(fnd::String("No such key")).isNil());

    useLayout("de");
    EXPECT_EQ(transformer.reverseTransformedValue(fnd::String("Z")).integerValue(), 16) << "Z sits on Y's key";
    EXPECT_EQ(transformer.reverseTransformedValue(fnd::String("\u00D6")).integerValue(), 41) << "Ö";
    useLayout("us");
    EXPECT_EQ(transformer.reverseTransformedValue(fnd::String("Z")).integerValue(), 6);
}

}
