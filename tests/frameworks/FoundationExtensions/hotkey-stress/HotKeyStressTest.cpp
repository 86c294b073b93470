// Global hot keys under load, in a program served by the GTK backend: one hot key is registered and removed over
// and over while another is pressed as fast as the X server takes it. The registry's lock and the X display's lock
// must never be taken in opposite orders by the main thread and the key-listening thread; a watchdog turns a stall
// into a failure instead of a hung test.
#include "GtkTestSupport.h"

#include "frameworks/FoundationExtensions/ui/ZHKHotKeyCenter.h"
#include "platform/ui/views/Event.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

// After everything else: Xlib defines macros (None, Bool, Status) other headers use as names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace gtktest;

// Enough rounds to have made the listener and the main thread meet thousands of times; each round is a grab and an
// ungrab of every lock-key variant, each followed by a round trip to the server.
constexpr int StressRounds = 4000;
// A round takes well under a millisecond; this long without one is a deadlock.
constexpr auto StallLimit = std::chrono::seconds(15);

// Presses and releases one key through XTEST from a connection of its own, once for every round the main thread
// begins, so the listener handles a key while the main thread grabs and ungrabs: faster than a person ever could,
// but never faster than the main thread serves what the keys post.
class HotKeyStressPresser {
public:
    HotKeyStressPresser(KeySym keysym, std::atomic<int>& rounds)
        : m_display(XOpenDisplay(nullptr))
        , m_rounds(rounds)
    {
        if (!m_display)
            return;
        m_keyCode = XKeysymToKeycode(m_display, keysym);
        m_thread = std::thread([this] {
            for (int pressed = 0; !m_stop; ++pressed) {
                m_rounds.wait(pressed);
                if (m_stop)
                    break;
                XTestFakeKeyEvent(m_display, m_keyCode, True, 0);
                XTestFakeKeyEvent(m_display, m_keyCode, False, 0);
                XSync(m_display, False);
                ++presses;
            }
        });
    }
    ~HotKeyStressPresser()
    {
        m_stop = true;
        ++m_rounds;
        m_rounds.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool isRunning() const { return m_display && m_keyCode; }

    std::atomic<long> presses { 0 };

private:
    Display* m_display;
    std::atomic<int>& m_rounds;
    ::KeyCode m_keyCode { 0 };
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

// Ends the program with a message when the round counter stops moving.
class HotKeyStressWatchdog {
public:
    explicit HotKeyStressWatchdog(const std::atomic<int>& rounds)
        : m_thread([this, &rounds] {
            int seen = -1;
            auto since = std::chrono::steady_clock::now();
            while (!m_stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                int now = rounds.load();
                if (now != seen) {
                    seen = now;
                    since = std::chrono::steady_clock::now();
                } else if (std::chrono::steady_clock::now() - since > StallLimit) {
                    std::fprintf(stderr,
                        "Hot keys stalled in round %d of %d: the main thread and the key listener "
                        "wait for each other.\n",
                        now, StressRounds);
                    std::fflush(stderr);
                    std::_Exit(1);
                }
            }
        })
    {
    }
    ~HotKeyStressWatchdog()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

class HotKeyStress : public GtkDisplayTest { };

TEST_F(HotKeyStress, RegisteringAndRemovingWhileAnotherKeyIsPressedNeverStalls)
{
    ZHKHotKeyCenter center;
    std::atomic<long> fired { 0 };
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::F7, 0, [&](const ui::Event&) { ++fired; }));

    std::atomic<int> rounds { 0 };
    std::atomic<int> pressRounds { 0 };
    {
        HotKeyStressPresser presser(XK_F7, pressRounds);
        ASSERT_TRUE(presser.isRunning()) << "no X display for the presser";
        HotKeyStressWatchdog watchdog(rounds);
        for (int round = 0; round < StressRounds; ++round) {
            pressRounds = round + 1;
            pressRounds.notify_one();
            ASSERT_TRUE(
                center.registerHotKeyWithKeyCode(ui::KeyCode::F8, ui::ModifierFlags::Command, [](const ui::Event&) {}))
                << "round " << round;
            center.unregisterHotKeyWithKeyCode(ui::KeyCode::F8, ui::ModifierFlags::Command);
            rounds = round + 1;
            // Now and then let GLib and the run loop serve what arrived, as an application's loop would.
            if (round % 200 == 0)
                backend->runUntil([] { return false; }, 0.002);
        }
        // The presser follows the rounds at its own pace: at least one press once it has caught up a round.
        EXPECT_TRUE(waitFor([&] { return presser.presses.load() > 0; })) << "no key was pressed";
    }
    // The presses reached the listener and came through to the main thread while the other key churned.
    EXPECT_TRUE(waitFor([&] { return fired.load() > 0; }));
    EXPECT_FALSE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::F8, ui::ModifierFlags::Command));
    EXPECT_TRUE(center.hasRegisteredHotKeyWithKeyCode(ui::KeyCode::F7, 0));
    center.unregisterHotKeyWithKeyCode(ui::KeyCode::F7, 0);
}

// A combination another program holds is refused every time, also while the listener reads the keys that come in
// meanwhile: the refusal is the X server's error for the grab, which must reach this registration whichever thread
// reads it, never Xlib's default handler (which ends the program).
TEST_F(HotKeyStress, ACombinationAnotherProgramHoldsIsRefusedWhileKeysArrive)
{
    Display* other = XOpenDisplay(nullptr);
    ASSERT_TRUE(other);
    XGrabKey(other, XKeysymToKeycode(other, XK_j), ControlMask | Mod1Mask, DefaultRootWindow(other), True,
        GrabModeAsync, GrabModeAsync);
    XSync(other, False);

    ZHKHotKeyCenter center;
    std::atomic<long> fired { 0 };
    ASSERT_TRUE(center.registerHotKeyWithKeyCode(ui::KeyCode::F7, 0, [&](const ui::Event&) { ++fired; }));
    std::atomic<int> rounds { 0 };
    std::atomic<int> pressRounds { 0 };
    int accepted = 0;
    {
        HotKeyStressPresser presser(XK_F7, pressRounds);
        ASSERT_TRUE(presser.isRunning()) << "no X display for the presser";
        HotKeyStressWatchdog watchdog(rounds);
        for (int round = 0; round < StressRounds / 2; ++round) {
            pressRounds = round + 1;
            pressRounds.notify_one();
            if (center.registerHotKeyWithKeyCode(ui::KeyCode::J,
                    ui::ModifierFlags::Command | ui::ModifierFlags::Alternate, [](const ui::Event&) {})) {
                ++accepted;
                center.unregisterHotKeyWithKeyCode(
                    ui::KeyCode::J, ui::ModifierFlags::Command | ui::ModifierFlags::Alternate);
            }
            rounds = round + 1;
            if (round % 200 == 0)
                backend->runUntil([] { return false; }, 0.002);
        }
    }
    EXPECT_EQ(accepted, 0) << "registrations of a held combination that were taken for granted";
    EXPECT_TRUE(waitFor([&] { return fired.load() > 0; }));
    center.unregisterHotKeyWithKeyCode(ui::KeyCode::F7, 0);
    XCloseDisplay(other);
}

}
