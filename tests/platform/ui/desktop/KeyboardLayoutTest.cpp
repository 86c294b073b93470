#include "platform/ui/desktop/KeyboardLayout.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/detail/VirtualKeySyms.h"

#include <gtest/gtest.h>

namespace {

namespace KeyCode = ui::KeyCode;
namespace Flags = ui::ModifierFlags;
using ui::KeyboardLayout;

std::shared_ptr<KeyboardLayout> layoutNamed(const char* layout, const char* variant = "")
{
    KeyboardLayout::Names names;
    names.layout = layout;
    names.variant = variant;
    auto result = KeyboardLayout::layoutWithNames(names);
    EXPECT_TRUE(result.has_value()) << layout;
    return result ? *result : nullptr;
}

// Puts the US layout back after a test that switched layouts.
class KeyboardLayoutTest : public ::testing::Test {
protected:
    ~KeyboardLayoutTest() override { KeyboardLayout::setCurrent(layoutNamed("us")); }
};

// Every key reports the character of its position's key on the layout, at the level Shift and Option choose.
TEST_F(KeyboardLayoutTest, CharactersFollowTheLayoutAndLevel)
{
    auto us = layoutNamed("us");
    auto de = layoutNamed("de");
    struct Case {
        std::shared_ptr<KeyboardLayout> layout;
        unsigned short code;
        unsigned flags;
        const char* expected;
    } cases[] = {
        { us, KeyCode::A, 0, "a" }, { us, KeyCode::A, Flags::Shift, "A" }, { us, KeyCode::Digit1, Flags::Shift, "!" },
        { us, KeyCode::Keypad0, 0, "0" }, { us, KeyCode::Command, 0, "" }, // a modifier types nothing
        { us, KeyCode::F5, 0, "" }, { de, KeyCode::Y, 0, "z" }, // the German layout swaps Y and Z
        { de, KeyCode::Q, Flags::Alternate, "@" }, // AltGr plays Option
        { de, KeyCode::Grave, 0, "^" }, // dead circumflex, as its spacing form
        { de, KeyCode::Equal, 0, "\u00B4" }, // dead acute
        { us, KeyCode::A, Flags::Command | Flags::Control, "a" }, // other modifiers do not choose the level
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.layout->charactersForKeyCode(c.code, c.flags).utf8(), c.expected)
            << c.layout->names().layout.utf8() << " code " << c.code << " flags " << std::hex << c.flags;
    }
}

TEST_F(KeyboardLayoutTest, KeysAreFoundByWhatTheyType)
{
    auto us = layoutNamed("us");
    auto de = layoutNamed("de");
    EXPECT_EQ(us->keyCodeForCharacter(U'z'), KeyCode::Z);
    EXPECT_EQ(de->keyCodeForCharacter(U'z'), KeyCode::Y);
    EXPECT_EQ(us->keyCodeForCharacter(U'Q'), KeyCode::Q) << "case does not matter";
    EXPECT_EQ(us->keyCodeForCharacter(U'!'), KeyCode::Digit1) << "a shifted character names its key";
    EXPECT_EQ(us->keyCodeForCharacter(U'\u00E9'), std::nullopt) << "no key types é on the US layout";
}

// The group chooses the layout of a list; a group past the list's end reads the last one.
TEST_F(KeyboardLayoutTest, GroupChoosesTheLayoutOfAList)
{
    KeyboardLayout::Names names;
    names.layout = "us,de";
    auto second = KeyboardLayout::layoutWithNames(names, 1);
    ASSERT_TRUE(second);
    EXPECT_EQ((*second)->charactersForKeyCode(KeyCode::Y, 0).utf8(), "z");
    auto beyond = KeyboardLayout::layoutWithNames(names, 7);
    ASSERT_TRUE(beyond);
    EXPECT_EQ((*beyond)->group(), 1u);
}

TEST_F(KeyboardLayoutTest, UnknownLayoutIsAnError)
{
    KeyboardLayout::Names names;
    names.layout = "no-such-layout";
    auto result = KeyboardLayout::layoutWithNames(names);
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().localizedDescription().utf8().find("no-such-layout"), std::string::npos);
}

// Installing another layout tells observers once; installing the same names again tells nobody.
TEST_F(KeyboardLayoutTest, ChangingTheLayoutPostsOneNotice)
{
    int notices = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ui::KeyboardLayoutDidChangeNotification, {}, [&](const fnd::Notification&) { ++notices; });
    KeyboardLayout::setCurrent(layoutNamed("us"));
    notices = 0;
    KeyboardLayout::setCurrent(layoutNamed("de"));
    EXPECT_EQ(notices, 1);
    KeyboardLayout::setCurrent(layoutNamed("de"));
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(KeyboardLayout::current()->names().layout, "de");
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

// The physical-position table maps both ways for every key it knows.
TEST_F(KeyboardLayoutTest, VirtualCodesAndXKeyCodesRoundTrip)
{
    int known = 0;
    for (unsigned short code = 0; code < 128; ++code) {
        unsigned x = ui::detail::xKeyCodeForVirtualKeyCode(code);
        if (x == 0)
            continue;
        ++known;
        EXPECT_EQ(ui::detail::virtualKeyCodeForXKeyCode(x), code) << "virtual code " << code;
    }
    EXPECT_GT(known, 100);
    EXPECT_EQ(ui::detail::xKeyCodeForVirtualKeyCode(KeyCode::A), 38u); // evdev KEY_A (30) + 8
    EXPECT_EQ(ui::detail::virtualKeyCodeForXKeyCode(3), ui::detail::UnknownVirtualKeyCode);
}

}
