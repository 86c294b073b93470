#include "frameworks/FoundationExtensions/ui/ZHKHotKeyCenter.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/services/Process.h"
#include "platform/ui/views/Event.h"

#include "support/Raised.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <chrono>

// After everything else: Xlib defines macros (None, Bool, Status) other headers use as names.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

// Presses keys on the X server as a person would, through the XTEST extension.
void press(const char* action, const char* keys)
{
    auto status = fnd::Process::run({ "xdotool", action, "--delay", "20", keys });
    ASSERT_TRUE(status && *status == 0) << keys;
}

// Runs the main run loop until the condition holds, for at most half a minute.
template <typename Condition> bool runUntil(Condition condition)
{
    auto limit = std::chrono::steady_clock::now() + std::chrono::duration<double>(testsupport::WaitSeconds);
    while (!condition() && std::chrono::steady_clock::now() < limit)
        fnd::RunLoop::main().runUntilDate(fnd::Date::now().addingTimeInterval(0.02));
    return condition();
}

// A hot key that only marks a place among the keys pressed: the X server hands the keys a program grabbed over in
// the order they came, and the centre passes them on in that order, so once the marker has fired every key pressed
// before it has been dealt with. A check that keys fired nothing waits for the marker, not for a while.
class HotKeyMarker {
public:
    explicit HotKeyMarker(ZHKHotKeyCenter& center, unsigned modifiers = 0)
        : m_center(center)
        , m_modifiers(modifiers)
    {
        EXPECT_TRUE(m_center.registerHotKeyWithKeyCode(ui::KeyCode::F12, m_modifiers, [this](const ui::Event&) {
            ++m_fired;
        })) << "the marker could not be registered";
    }
    ~HotKeyMarker() { m_center.unregisterHotKeyWithKeyCode(ui::KeyCode::F12, m_modifiers); }
    // Presses the marker (with the modifiers held already, if any) and waits until it has fired.
    bool pass()
    {
        const int before = m_fired;
        press("key", "F12");
        return runUntil([&] { return m_fired > before; });
    }

private:
    ZHKHotKeyCenter& m_center;
    unsigned m_modifiers;
    int m_fired { 0 };
};

const auto Command = ui::ModifierFlags::Command;
const auto Shift = ui::ModifierFlags::Shift;
const auto Option = ui::ModifierFlags::Alternate;

class Receiver : public fnd::Object {
    FND_OBJECT(Receiver)
    static void describeClass(fnd::ClassBuilder<Receiver>& c)
    {
        c.action("hotKeyFired:object:", &Receiver::hotKeyFired);
    }

public:
    void hotKeyFired(const fnd::Value& event, const fnd::Value& object)
    {
        events.push_back(event.objectAs<ui::Event>());
        objects.push_back(object);
    }
    std::vector<std::shared_ptr<ui::Event>> events;
    std::vector<fnd::Value> objects;
};
FND_REGISTER_CLASS(Receiver, fnd::Object)

TEST(HotKeys, FireOnReleaseWithAKeyUpEventWhateverTheLockKeys)
{
    ZHKHotKeyCenter center;
    struct Cleanup {
        ZHKHotKeyCenter& center;
        ~Cleanup() { center.unregisterHotKeyWithKeyCode(ui::KeyCode::K, ui::ModifierFlags::Command); }
    } cleanup { center };
    std::vector<std::shared_ptr<ui::Event>> events;
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::K, Command, [&](const ui::Event& event) {
        events.push_back(
            std::static_pointer_cast<ui::Event>(std::const_pointer_cast<fnd::Object>(event.shared_from_this())));
    }));

    press("keydown", "ctrl+k");
    {
        // Pressed while Ctrl is held.
        HotKeyMarker marker(center, Command);
        ASSERT_TRUE(marker.pass());
    }
    EXPECT_TRUE(events.empty()) << "pressing alone fires nothing";
    press("keyup", "ctrl+k");
    ASSERT_TRUE(runUntil([&] { return events.size() == 1; }));
    EXPECT_EQ(events[0]->type(), ui::EventType::KeyUp);
    EXPECT_EQ(events[0]->keyCode(), ui::KeyCode::K);
    EXPECT_EQ(events[0]->modifierFlags(), Command);
    EXPECT_EQ(events[0]->windowNumber(), -1);

    press("key", "Num_Lock");
    press("key", "ctrl+k");
    press("key", "Num_Lock");
    press("key", "Caps_Lock");
    press("key", "ctrl+k");
    press("key", "Caps_Lock");
    EXPECT_TRUE(runUntil([&] { return events.size() == 3; }));

    HotKeyMarker marker(center);
    press("key", "ctrl+shift+k");
    press("key", "k");
    ASSERT_TRUE(marker.pass());
    EXPECT_EQ(events.size(), 3u) << "other modifiers are other combinations";

    center.unregisterHotKeyWithKeyCode(ui::KeyCode::K, Command);
    EXPECT_FALSE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::K, Command));
    press("key", "ctrl+k");
    ASSERT_TRUE(marker.pass());
    EXPECT_EQ(events.size(), 3u);
}

TEST(HotKeys, TargetsGetEventAndObjectAndFallBackToTheTask)
{
    ZHKHotKeyCenter center;
    auto receiver = std::make_shared<Receiver>();
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::F5, 0, receiver, "hotKeyFired:object:", "payload"));
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::F6, Shift, receiver, "noSuchAction:", {}));
    EXPECT_FALSE(center.registerHotKeyWithKeyCode(ui::KeyCode::F5, 0, [](const ui::Event&) {}))
        << "a combination registers once, whatever it invokes";

    press("key", "F5");
    ASSERT_TRUE(runUntil([&] { return receiver->events.size() == 1; }));
    EXPECT_EQ(receiver->objects.front(), fnd::Value("payload"));
    EXPECT_EQ(receiver->events.front()->keyCode(), ui::KeyCode::F5);

    // Without an action the target answers and without a task, nothing happens.
    {
        HotKeyMarker marker(center);
        press("key", "shift+F6");
        ASSERT_TRUE(marker.pass());
    }
    EXPECT_EQ(receiver->events.size(), 1u);

    auto registered = center.registeredHotKeys();
    ASSERT_EQ(registered.size(), 2u);
    EXPECT_TRUE(registered[0]->isEqual(ZHKHotKey(ui::KeyCode::F5, 0)));
    EXPECT_NE(registered[0]->description().utf8().find("invokes: ["), std::string::npos);
    EXPECT_NE(registered[0]->description().utf8().find("ERROR: No valid flags"), std::string::npos);
    EXPECT_NE(registered[1]->description().utf8().find("(NSShiftKeyMask)"), std::string::npos);

    EXPECT_EQ(raised([&] { center.unregisterHotKey(std::make_shared<ZHKHotKey>(ui::KeyCode::F5, 0)); })->reason(),
        "Invalid hotkey");
    center.unregisterHotKeysWithTarget(receiver.get(), "noSuchAction:");
    EXPECT_EQ(center.registeredHotKeys().size(), 1u);
    center.unregisterHotKeysWithTarget(receiver.get());
    EXPECT_TRUE(center.registeredHotKeys().empty());
    // A release whose hot key is gone is ignored.
    ZHKHotKeyCenter::handleHotKeyReleased(registered[0]->hotKeyID());
    EXPECT_EQ(receiver->events.size(), 1u);
}

// Whether another program could take the combination for itself: the X server refuses a grab someone holds.
bool anotherProgramCanGrab(KeySym keysym, unsigned modifiers)
{
    static int refused = 0;
    Display* other = XOpenDisplay(nullptr);
    if (!other)
        return false;
    refused = 0;
    auto previous = XSetErrorHandler([](Display*, XErrorEvent*) {
        refused = 1;
        return 0;
    });
    auto keyCode = XKeysymToKeycode(other, keysym);
    XGrabKey(other, keyCode, modifiers, DefaultRootWindow(other), True, GrabModeAsync, GrabModeAsync);
    XSync(other, False);
    XSetErrorHandler(previous);
    XCloseDisplay(other);
    return !refused;
}

TEST(HotKeys, AHotKeyMadeOutsideTheSetTakesItsSettingsAndTheCentreRemovesIt)
{
    ZHKHotKeyCenter center;
    auto hotKey = std::make_shared<ZHKRegisteredHotKey>();
    hotKey->setKeyCode(ui::KeyCode::L);
    hotKey->setModifierFlags(Command | Shift);
    hotKey->setHotKeyID(77);
    EXPECT_EQ(hotKey->hotKeyID(), 77u);
    EXPECT_TRUE(hotKey->hotKeyRef().isNil()) << "not registered yet";

    ASSERT_TRUE(hotKey->registerHotKey());
    EXPECT_FALSE(hotKey->hotKeyRef().isNil());
    EXPECT_NE(hotKey->hotKeyID(), 77u) << "registering numbers it afresh";
    EXPECT_FALSE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::L, Command | Shift)) << "not in the set";
    EXPECT_FALSE(anotherProgramCanGrab(XK_l, ControlMask | ShiftMask)) << "Command+Shift+L is taken";

    center.unregisterHotKey(hotKey);
    EXPECT_TRUE(hotKey->hotKeyRef().isNil());
    EXPECT_TRUE(anotherProgramCanGrab(XK_l, ControlMask | ShiftMask)) << "the grab was let go";
}

// A second registration once replaced the first without removing it: with grabs shared per combination, the key
// then stayed grabbed from every other program after the hot key was unregistered, until the process ended.
TEST(HotKeys, RegisteringARegisteredHotKeyAgainKeepsItsOneRegistration)
{
    ZHKHotKeyCenter center;
    int fired = 0;
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::U, Command | Option, [&](const ui::Event&) { ++fired; }));
    ASSERT_EQ(center.registeredHotKeys().size(), 1u);
    auto hotKey = center.registeredHotKeys().front();
    const auto number = hotKey->hotKeyID();
    const auto registration = hotKey->hotKeyRef();
    EXPECT_TRUE(hotKey->registerHotKey()) << "it is registered";
    EXPECT_EQ(hotKey->hotKeyID(), number);
    EXPECT_TRUE(hotKey->hotKeyRef() == registration) << hotKey->hotKeyRef().description().utf8();

    press("key", "ctrl+alt+u");
    ASSERT_TRUE(runUntil([&] { return fired == 1; })) << fired;
    {
        HotKeyMarker marker(center);
        ASSERT_TRUE(marker.pass());
    }
    EXPECT_EQ(fired, 1) << "one release, one call";

    center.unregisterHotKey(hotKey);
    EXPECT_TRUE(hotKey->hotKeyRef().isNil());
    EXPECT_TRUE(anotherProgramCanGrab(XK_u, ControlMask | Mod1Mask)) << "the grab was let go";

    // Unregistered, it registers afresh under a new number.
    ASSERT_TRUE(hotKey->registerHotKey());
    EXPECT_NE(hotKey->hotKeyID(), number);
    EXPECT_FALSE(anotherProgramCanGrab(XK_u, ControlMask | Mod1Mask));
    hotKey->unregisterHotKey();
    EXPECT_TRUE(anotherProgramCanGrab(XK_u, ControlMask | Mod1Mask));
}

TEST(HotKeys, CombinationsOneGrabServesBothFireAndTheGrabLastsUntilTheLastGoes)
{
    // The numeric-pad bit has no X modifier: both are Ctrl+F9 to the X server.
    const auto NumericPad = ui::ModifierFlags::NumericPad;
    ZHKHotKeyCenter center;
    int plain = 0, keypad = 0;
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::F9, Command, [&](const ui::Event&) { ++plain; }));
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::F9, Command | NumericPad, [&](const ui::Event& event) {
        EXPECT_EQ(event.modifierFlags(), Command | NumericPad) << "each with its own flags";
        ++keypad;
    }));

    press("key", "ctrl+F9");
    EXPECT_TRUE(runUntil([&] { return plain == 1 && keypad == 1; })) << plain << " " << keypad;

    center.unregisterHotKeyWithKeyCode(ui::KeyCode::F9, Command);
    EXPECT_FALSE(anotherProgramCanGrab(XK_F9, ControlMask)) << "still held for the numeric-pad combination";
    press("key", "ctrl+F9");
    EXPECT_TRUE(runUntil([&] { return keypad == 2; })) << keypad;
    EXPECT_EQ(plain, 1);

    center.unregisterHotKeyWithKeyCode(ui::KeyCode::F9, Command | NumericPad);
    EXPECT_TRUE(anotherProgramCanGrab(XK_F9, ControlMask)) << "let go with the last";
}

TEST(HotKeys, ACombinationAnotherProgramHoldsCannotBeRegistered)
{
    Display* other = XOpenDisplay(nullptr);
    ASSERT_TRUE(other);
    auto keyCode = XKeysymToKeycode(other, XK_j);
    XGrabKey(other, keyCode, ControlMask | Mod1Mask, DefaultRootWindow(other), True, GrabModeAsync, GrabModeAsync);
    XSync(other, False);

    ZHKHotKeyCenter center;
    EXPECT_FALSE(center.registerHotKeyWithKeyCode(ui::KeyCode::J, Command | Option, [](const ui::Event&) {}));
    EXPECT_FALSE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::J, Command | Option));
    XCloseDisplay(other);
    EXPECT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::J, Command | Option, [](const ui::Event&) {}));
    center.unregisterHotKeyWithKeyCode(ui::KeyCode::J, Command | Option);
}

// A registered hot key whose key or modifiers changed once answered for the new combination while the X server still
// grabbed the old one, and registering it again answered true without grabbing anything. The grab moves with the
// combination now, under the same number; a change the centre or the X server cannot grant is refused.
TEST(HotKeys, ChangingARegisteredCombinationMovesTheGrab)
{
    ZHKHotKeyCenter center;
    int fired = 0;
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::Y, Command, [&](const ui::Event&) { ++fired; }));
    auto hotKey = center.registeredHotKeys().front();
    const auto number = hotKey->hotKeyID();

    hotKey->setKeyCode(ui::KeyCode::H);
    EXPECT_EQ(hotKey->keyCode(), ui::KeyCode::H);
    EXPECT_TRUE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::H, Command));
    EXPECT_FALSE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::Y, Command));
    EXPECT_FALSE(anotherProgramCanGrab(XK_h, ControlMask)) << "Ctrl+H is grabbed";
    EXPECT_TRUE(anotherProgramCanGrab(XK_y, ControlMask)) << "Ctrl+Y was let go";
    EXPECT_EQ(hotKey->hotKeyID(), number);
    EXPECT_TRUE(hotKey->registerHotKey());
    press("key", "ctrl+h");
    ASSERT_TRUE(runUntil([&] { return fired == 1; })) << fired;

    hotKey->setModifierFlags(Command | Shift);
    EXPECT_FALSE(anotherProgramCanGrab(XK_h, ControlMask | ShiftMask)) << "Ctrl+Shift+H is grabbed";
    EXPECT_TRUE(anotherProgramCanGrab(XK_h, ControlMask)) << "Ctrl+H was let go";
    press("key", "ctrl+shift+h");
    ASSERT_TRUE(runUntil([&] { return fired == 2; })) << fired;
    {
        HotKeyMarker marker(center);
        press("key", "ctrl+y");
        press("key", "ctrl+h");
        ASSERT_TRUE(marker.pass());
    }
    EXPECT_EQ(fired, 2) << "the old combinations fire nothing";

    // Onto a combination the centre keeps for another hot key: refused, the grab stays where it was.
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::H, Command, [](const ui::Event&) {}));
    hotKey->setModifierFlags(Command);
    EXPECT_EQ(hotKey->modifierFlags(), Command | Shift);
    EXPECT_EQ(center
                  .hotKeysMatchingPredicate([](const ZHKRegisteredHotKey& k) {
                      return k.keyCode() == ui::KeyCode::H && k.modifierFlags() == Command;
                  })
                  .size(),
        1u);
    EXPECT_FALSE(anotherProgramCanGrab(XK_h, ControlMask | ShiftMask));
    center.unregisterHotKeyWithKeyCode(ui::KeyCode::H, Command);

    // Onto a combination another program holds: refused alike.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_TRUE(other);
    XGrabKey(other, XKeysymToKeycode(other, XK_j), ControlMask | ShiftMask, DefaultRootWindow(other), True,
        GrabModeAsync, GrabModeAsync);
    XSync(other, False);
    hotKey->setKeyCode(ui::KeyCode::J);
    EXPECT_EQ(hotKey->keyCode(), ui::KeyCode::H);
    EXPECT_TRUE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::H, Command | Shift));
    XCloseDisplay(other);
    press("key", "ctrl+shift+h");
    ASSERT_TRUE(runUntil([&] { return fired == 3; })) << fired;

    center.unregisterHotKey(hotKey);
    EXPECT_TRUE(anotherProgramCanGrab(XK_h, ControlMask | ShiftMask)) << "let go with the hot key";

    // Unregistered, a change only changes the values.
    hotKey->setKeyCode(ui::KeyCode::Y);
    EXPECT_EQ(hotKey->keyCode(), ui::KeyCode::Y);
    EXPECT_TRUE(hotKey->hotKeyRef().isNil());
    EXPECT_TRUE(anotherProgramCanGrab(XK_y, ControlMask | ShiftMask));
}

// Two hot keys the X server sees as one combination share its grab: one that moves away leaves the grab to the other.
TEST(HotKeys, MovingAwayFromASharedGrabLeavesItToTheOther)
{
    const auto NumericPad = ui::ModifierFlags::NumericPad;
    ZHKHotKeyCenter center;
    int plain = 0, keypad = 0;
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::F8, Command, [&](const ui::Event&) { ++plain; }));
    ASSERT_TRUE(
        center.registerHotKeyWithKeyCode(ui::KeyCode::F8, Command | NumericPad, [&](const ui::Event&) { ++keypad; }));
    auto moving = center
                      .hotKeysMatchingPredicate([](const ZHKRegisteredHotKey& k) {
                          return k.keyCode() == ui::KeyCode::F8 && k.modifierFlags() == Command;
                      })
                      .front();

    moving->setKeyCode(ui::KeyCode::F7);
    EXPECT_FALSE(anotherProgramCanGrab(XK_F8, ControlMask)) << "still held for the numeric-pad combination";
    EXPECT_FALSE(anotherProgramCanGrab(XK_F7, ControlMask));
    press("key", "ctrl+F8");
    press("key", "ctrl+F7");
    EXPECT_TRUE(runUntil([&] { return plain == 1 && keypad == 1; })) << plain << " " << keypad;

    center.unregisterHotKeyWithKeyCode(ui::KeyCode::F8, Command | NumericPad);
    center.unregisterHotKey(moving);
    EXPECT_TRUE(anotherProgramCanGrab(XK_F8, ControlMask));
    EXPECT_TRUE(anotherProgramCanGrab(XK_F7, ControlMask));
}

}
