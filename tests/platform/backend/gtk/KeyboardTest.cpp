#include "GtkTestSupport.h"

#include "platform/backend/gtk/KeyMapping.h"
#include "platform/ui/menus/Menu.h"

using namespace gtktest;
using ui::EventType;
namespace Flags = ui::ModifierFlags;
namespace KeyCode = ui::KeyCode;

class KeyboardTest : public GtkDisplayTest {
protected:
    std::shared_ptr<KeyRecorder> focusedRecorder()
    {
        auto recorder = KeyRecorder::make({});
        window = showWindow({ 50, 50, 120, 80 }, recorder);
        window->makeFirstResponder(recorder);
        EXPECT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*window); })) << "the window never got the keyboard";
        return recorder;
    }
    // Runs xdotool and waits until the recorder has seen `count` key-downs.
    void type(const std::string& arguments, KeyRecorder& recorder, std::size_t count)
    {
        auto result = runWhileServing(*backend, "xdotool " + arguments);
        ASSERT_EQ(result.status, 0) << "xdotool " << arguments;
        waitFor([&] { return keyDowns(recorder).size() >= count; });
    }
    static std::vector<KeyRecorder::Key> keyDowns(const KeyRecorder& recorder)
    {
        std::vector<KeyRecorder::Key> downs;
        for (const auto& k : recorder.keys)
            if (k.type == EventType::KeyDown)
                downs.push_back(k);
        return downs;
    }
    std::shared_ptr<ui::Window> window;
};

// The server's keyboard layout for one test, set back to US at its end, also when the test fails half way: what a
// key types must not depend on the machine's default layout, nor on a test before.
class ServerLayout {
public:
    ServerLayout(ui::GtkBackend& backend, const std::string& arguments)
        : m_backend(backend)
    {
        EXPECT_EQ(runWhileServing(backend, "setxkbmap " + arguments).status, 0) << "setxkbmap " << arguments;
    }
    ~ServerLayout() { runWhileServing(m_backend, "setxkbmap -layout us"); }
    ServerLayout(const ServerLayout&) = delete;
    ServerLayout& operator=(const ServerLayout&) = delete;

private:
    ui::GtkBackend& m_backend;
};

// Typed text arrives as key-downs with the characters, the key's position code and the held modifiers, including a
// character that is not ASCII; modifier keys send flags-changed events. The Canadian French layout has "é" on a key
// of its own (where US keyboards have the slash) and its letters and digits where US keyboards have them: a layout
// without the key makes xdotool map a spare key code for the moment of the press, which the program may read after
// the mapping is gone again.
TEST_F(KeyboardTest, TypedCharactersAndKeyCodesArrive)
{
    auto recorder = focusedRecorder();
    ServerLayout layout(*backend, "-layout ca");
    type("type --delay 40 'Ab1é'", *recorder, 4);
    auto downs = keyDowns(*recorder);
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].characters, "A");
    EXPECT_EQ(downs[0].keyCode, KeyCode::A);
    EXPECT_TRUE(downs[0].flags & Flags::Shift);
    EXPECT_EQ(downs[1].characters, "b");
    EXPECT_EQ(downs[1].keyCode, KeyCode::B);
    EXPECT_FALSE(downs[1].flags & Flags::Shift);
    EXPECT_EQ(downs[2].characters, "1");
    EXPECT_EQ(downs[2].keyCode, KeyCode::Digit1);
    EXPECT_EQ(downs[3].characters, "é");
    EXPECT_EQ(downs[3].keyCode, KeyCode::Slash);

    bool shiftPressed = false, shiftReleased = false;
    for (const auto& k : recorder->keys) {
        if (k.type != EventType::FlagsChanged)
            continue;
        EXPECT_EQ(k.keyCode, KeyCode::Shift);
        (k.flags & Flags::Shift ? shiftPressed : shiftReleased) = true;
    }
    EXPECT_TRUE(shiftPressed && shiftReleased) << "Shift down and up as flags-changed events";
}

// Keys without a glyph send the platform's private-use characters and function flags.
TEST_F(KeyboardTest, FunctionKeysSendPrivateUseCharacters)
{
    auto recorder = focusedRecorder();
    type("key --delay 40 Left F5 Return BackSpace Delete", *recorder, 5);
    auto downs = keyDowns(*recorder);
    ASSERT_EQ(downs.size(), 5u);
    struct Expected {
        char16_t character;
        unsigned short code;
        unsigned flags;
    } expected[] = {
        { ui::FunctionKey::LeftArrow, KeyCode::LeftArrow, Flags::Function | Flags::NumericPad },
        { ui::FunctionKey::F1 + 4, KeyCode::F5, Flags::Function },
        { u'\r', KeyCode::Return, 0 },
        { 0x7F, KeyCode::Delete, 0 },
        { ui::FunctionKey::Delete, KeyCode::ForwardDelete, Flags::Function },
    };
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fnd::String(downs[i].characters).units(), std::u16string(1, expected[i].character));
        EXPECT_EQ(downs[i].keyCode, expected[i].code);
        EXPECT_EQ(downs[i].flags & (Flags::Function | Flags::NumericPad), expected[i].flags);
    }
}

// Ctrl plays the command key: Ctrl+C reaches the key equivalents as Command-C, and a main-menu item with that
// equivalent performs its action along the responder chain.
TEST_F(KeyboardTest, CtrlShortcutsAreCommandKeyEquivalents)
{
    auto recorder = focusedRecorder();
    recorder->takeEquivalents = true;
    type("key ctrl+c", *recorder, 0);
    ASSERT_TRUE(waitFor([&] { return !recorder->equivalents.empty(); }));
    EXPECT_EQ(recorder->equivalents[0].ignoringModifiers, "c");
    EXPECT_EQ(recorder->equivalents[0].keyCode, KeyCode::C);
    EXPECT_TRUE(recorder->equivalents[0].flags & Flags::Command);
    EXPECT_FALSE(recorder->equivalents[0].flags & Flags::Control);
}

// Key codes name positions, not letters: on a German layout the key right of T types "z" and still reports the
// code of the position where US keyboards have Y; the key right of L types "ö".
TEST_F(KeyboardTest, KeyCodesFollowThePhysicalKeyOnAnyLayout)
{
    auto recorder = focusedRecorder();
    {
        ServerLayout layout(*backend, "-layout de");
        type("key --delay 40 z odiaeresis", *recorder, 2);
    }
    auto downs = keyDowns(*recorder);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].characters, "z");
    EXPECT_EQ(downs[0].keyCode, KeyCode::Y);
    EXPECT_EQ(downs[1].characters, "ö");
    EXPECT_EQ(downs[1].keyCode, KeyCode::Semicolon);
}

// A dead key composes through the input method: the accent shows as marked text, and the composed character
// arrives as one key-down of the key that finished it.
TEST_F(KeyboardTest, DeadKeysComposeThroughTheInputMethod)
{
    auto recorder = focusedRecorder();
    {
        ServerLayout layout(*backend, "-layout us -variant intl");
        type("key --delay 60 dead_acute e", *recorder, 1);
    }
    auto downs = keyDowns(*recorder);
    ASSERT_EQ(downs.size(), 1u) << "the dead key itself sends no character";
    EXPECT_EQ(downs[0].characters, "é");
    EXPECT_EQ(downs[0].keyCode, KeyCode::E);
    ASSERT_FALSE(recorder->marked.empty());
    EXPECT_NE(recorder->marked.front(), "<unmarked>") << "the pending accent was shown as marked text";
    EXPECT_FALSE(recorder->hasMarkedText()) << "the composition ended";
    EXPECT_EQ(recorder->marked.back(), "") << "by removing the marked text, not by committing it: é came as a key";
}

// The tables on their own: every position a US keyboard prints letters on has the platform's code, and the
// modifier roles are the documented ones.
TEST(KeyMapping, PositionsAndModifierRoles)
{
    using namespace ui::keymapping;
    // X key codes of the home row (evdev + 8): A S D F G H J K L.
    const unsigned short homeRow[] = { KeyCode::A, KeyCode::S, KeyCode::D, KeyCode::F, KeyCode::G, KeyCode::H,
        KeyCode::J, KeyCode::K, KeyCode::L };
    for (unsigned i = 0; i < 9; ++i)
        EXPECT_EQ(virtualKeyCodeForXKeyCode(38 + i), homeRow[i]) << "X key code " << 38 + i;
    EXPECT_EQ(virtualKeyCodeForXKeyCode(37), KeyCode::Command) << "left Ctrl";
    EXPECT_EQ(virtualKeyCodeForXKeyCode(133), KeyCode::Control) << "left Super";
    EXPECT_EQ(virtualKeyCodeForXKeyCode(64), KeyCode::Option) << "left Alt";
    EXPECT_EQ(virtualKeyCodeForXKeyCode(3), UnknownKeyCode);
    EXPECT_EQ(virtualKeyCodeForXKeyCode(300), UnknownKeyCode);

    EXPECT_EQ(modifierFlagsForGdkState(GdkModifiers::Control), Flags::Command);
    EXPECT_EQ(modifierFlagsForGdkState(GdkModifiers::Super), Flags::Control);
    EXPECT_EQ(modifierFlagsForGdkState(GdkModifiers::Alt | GdkModifiers::Shift), Flags::Alternate | Flags::Shift);
    EXPECT_EQ(modifierFlagsForGdkState(GdkModifiers::Lock), Flags::AlphaShift);
}
