#include "GtkTestSupport.h"

#include "frameworks/KeyComboRecorder/KRKeyCodeTransformer.h"
#include "frameworks/KeyComboRecorder/KRRecorderControl.h"
#include "platform/backend/gtk/GnomeShortcutProvider.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Perform.h"
#include "platform/ui/desktop/KeyboardLayout.h"
#include "platform/ui/desktop/SystemShortcuts.h"
#include "support/TemporaryFolder.h"

#include <cmath>
#include <cstdlib>

using namespace gtktest;
namespace Flags = ui::ModifierFlags;

namespace {

constexpr std::uint64_t Command = 0x100000, Shift = 0x20000, Option = 0x80000;
constexpr unsigned short KeyK = 40, KeyT = 17;

int luminanceOf(std::uint32_t rgb)
{
    return (int((rgb >> 16) & 0xFF) * 299 + int((rgb >> 8) & 0xFF) * 587 + int(rgb & 0xFF) * 114) / 1000;
}

class RecorderDisplayTest : public GtkDisplayTest {
protected:
    void SetUp() override
    {
        // The desktop keeps Ctrl+Alt+T (the terminal) for itself.
        ui::SystemShortcutProvider::setShared(std::make_shared<ui::FixedSystemShortcutProvider>(
            std::vector<ui::SystemShortcut> { { "test/terminal", KeyT, Flags::Command | Flags::Alternate, true } }));
        auto content = FillView::make({ 0, 0, 300, 80 }, gfx::Color::windowBackgroundColor());
        recorder = KRRecorderControl::create({ { 20, 30 }, { 260, 22 } });
        content->addSubview(recorder);
        window = showWindow({ 40, 200, 300, 80 }, content);
        ASSERT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*window); })) << "the window never got the keyboard";
        cell = recorder->recorderCell();
    }
    void TearDown() override
    {
        ui::SystemShortcutProvider::setShared(nullptr);
        GtkDisplayTest::TearDown();
    }

    // A point of the recorder (points, y up) in root device pixels.
    std::pair<int, int> devicePoint(gfx::Point point) const
    {
        auto rect = deviceRectOfContent(*window);
        auto base = recorder->convertPointToView(point, nullptr);
        int s = scale();
        return { rect[0] + int(std::lround(base.x * s)), rect[1] + int(std::lround((80 - base.y) * s)) };
    }
    void xdotool(const std::string& arguments)
    {
        ASSERT_EQ(runWhileServing(*backend, "xdotool " + arguments).status, 0) << arguments;
    }
    void clickRecorderAt(gfx::Point point)
    {
        auto [x, y] = devicePoint(point);
        xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }
    Screenshot shotOfRecorder() const
    {
        auto [x, y] = devicePoint({ 0, 22 });
        int s = scale();
        return grabScreen(x, y, 260 * s, 22 * s);
    }
    // Dark pixels in the text area: text drawn in black.
    static int darkPixels(const Screenshot& shot)
    {
        int dark = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = shot.width / 5; x < shot.width * 4 / 5; ++x)
                dark += luminanceOf(shot.at(x, y)) < 110;
        return dark;
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<KRRecorderControl> recorder;
    std::shared_ptr<KRRecorderCell> cell;
};

// Click, type Ctrl+Shift+K through the X server, see it shown; clear it with the remove button.
TEST_F(RecorderDisplayTest, RecordsTypedCombinationAndClears)
{
    recorder->setCanCaptureGlobalHotKeys(true);
    clickRecorderAt({ 60, 11 });
    ASSERT_TRUE(waitFor([&] { return cell->isRecording(); })) << "a click in the field starts recording";
    EXPECT_TRUE(ui::SystemShortcutPause::isPaused(*window)) << "the desktop's shortcuts wait while recording";
    auto recording = shotOfRecorder();
    recording.save("recorder-display-recording.png");

    xdotool("key --delay 60 ctrl+shift+k");
    ASSERT_TRUE(waitFor([&] { return !cell->isRecording(); }));
    EXPECT_EQ(recorder->keyCombo(), (_KeyCombo { Command | Shift, KeyK }));
    EXPECT_EQ(recorder->keyComboString().utf8(), "\u21E7\u2318K");
    EXPECT_EQ(
        KRCocoaShortcutReadable(recorder->keyCombo().flags, recorder->keyCombo().code).utf8(), "Ctrl + Shift + K");
    EXPECT_EQ(recorder->keyCharsIgnoringModifiers().utf8(), "K");
    EXPECT_FALSE(ui::SystemShortcutPause::isPaused(*window));

    // Once the combination's redraw has reached the screen.
    Screenshot shown;
    waitFor([&] {
        shown = shotOfRecorder();
        return darkPixels(shown) > 15;
    });
    shown.save("recorder-display-recorded.png");
    EXPECT_GT(darkPixels(shown), 15) << "the combination is drawn in black";
    int s = scale();
    EXPECT_GT(luminanceOf(shown.at(8 * s, 11 * s)), 235) << "the white field";
    auto remove = cell->_removeButtonRectForFrame(recorder->bounds());
    EXPECT_LT(luminanceOf(shown.at(int((remove.minX() + 3) * s), int((22 - remove.midY()) * s))), 215)
        << "the remove button";

    clickRecorderAt({ remove.midX(), remove.midY() });
    ASSERT_TRUE(waitFor([&] { return recorder->keyCombo() == KREmptyKeyCombo; })) << "the remove button clears it";
    Screenshot cleared;
    waitFor([&] {
        cleared = shotOfRecorder();
        return darkPixels(cleared) == 0;
    });
    cleared.save("recorder-display-cleared.png");
    EXPECT_EQ(darkPixels(cleared), 0) << "only the grey prompt is left";
}

// A combination the desktop keeps is refused with an alert on the screen; recording goes on afterwards.
TEST_F(RecorderDisplayTest, RefusesDesktopShortcutWithAlert)
{
    // The desktop's shortcuts are paused while recording; the alert still gets the keyboard.
    recorder->setCanCaptureGlobalHotKeys(true);
    clickRecorderAt({ 60, 11 });
    ASSERT_TRUE(waitFor([&] { return cell->isRecording(); }));

    // While the alert runs its modal loop: once it is on the screen with the keyboard, look at it, then answer it
    // with Return as a person would. A timer of every mode looks for it, also inside the alert's own loop.
    bool alertSeen = false;
    int alertLuminance = -1;
    auto lookAtTheAlert = fnd::Timer::create(0.05, true, [&](fnd::Timer& timer) {
        auto modal = ui::Application::shared().modalWindow();
        if (!modal || backend->presentedFrameCount(*modal) == 0 || !backend->hasKeyboardFocus(*modal))
            return;
        timer.invalidate();
        alertSeen = true;
        auto rect = deviceRectOfContent(*modal);
        Screenshot shot;
        waitFor([&] {
            shot = grabScreen(0, 0, 1280, 1024);
            alertLuminance = luminanceOf(shot.at(rect[0] + rect[2] / 2, rect[1] + 6));
            return alertLuminance > 150;
        });
        shot.save("recorder-display-alert.png");
        startInBackground({ "xdotool", "key", "Return" });
    });
    fnd::RunLoop::main().addTimer(lookAtTheAlert, fnd::RunLoopMode::Common);

    xdotool("key --delay 60 ctrl+alt+t");
    const bool cameAndWent = waitFor([&] { return alertSeen && !ui::Application::shared().modalWindow(); });
    lookAtTheAlert->invalidate();
    ASSERT_TRUE(cameAndWent) << "an alert came and went";
    EXPECT_GT(alertLuminance, 150) << "the alert's light face on the screen";
    EXPECT_TRUE(cell->isRecording()) << "recording goes on after the refusal";
    EXPECT_TRUE(ui::SystemShortcutPause::isPaused(*window)) << "and the desktop's shortcuts still wait";
    EXPECT_EQ(recorder->keyCombo(), KREmptyKeyCombo);

    xdotool("key --delay 60 Escape");
    EXPECT_TRUE(waitFor([&] { return !cell->isRecording(); }));
    EXPECT_FALSE(ui::SystemShortcutPause::isPaused(*window));
}

// Switching the server's layout reaches the recorder: names and the reverse map follow it.
TEST_F(RecorderDisplayTest, KeyboardLayoutFollowsTheServer)
{
    int notices = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ui::KeyboardLayoutDidChangeNotification, {}, [&](const fnd::Notification&) { ++notices; });
    ASSERT_EQ(runWhileServing(*backend, "setxkbmap -layout de").status, 0);
    EXPECT_TRUE(waitFor([] { return ui::KeyboardLayout::current()->names().layout == "de"; }));
    EXPECT_GE(notices, 1);
    EXPECT_EQ(KRKeyCodeString(16).utf8(), "Z");
    KRKeyCodeTransformer transformer;
    EXPECT_EQ(transformer.reverseTransformedValue(fnd::String("Z")).integerValue(), 16);
    ASSERT_EQ(runWhileServing(*backend, "setxkbmap -layout us").status, 0);
    EXPECT_TRUE(waitFor([] { return ui::KeyboardLayout::current()->names().layout == "us"; }));
    EXPECT_EQ(transformer.reverseTransformedValue(fnd::String("Z")).integerValue(), 6);
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

// GNOME's key-binding settings, from a compiled schema of our own: accelerators become key codes and modifiers;
// empty and disabled entries are left out.
TEST(GnomeShortcutProviderTest, ReadsKeyBindingSchemas)
{
    EXPECT_EQ(ui::GnomeShortcutProvider::shortcutForAccelerator("<Primary><Alt>t"),
        (ui::SystemShortcut { {}, KeyT, Flags::Command | Flags::Alternate, true }));
    EXPECT_EQ(ui::GnomeShortcutProvider::shortcutForAccelerator("<Super>Up"),
        (ui::SystemShortcut { {}, ui::KeyCode::UpArrow, Flags::Control, true }));
    EXPECT_EQ(ui::GnomeShortcutProvider::shortcutForAccelerator("<Shift><Alt>F4"),
        (ui::SystemShortcut { {}, ui::KeyCode::F4, Flags::Shift | Flags::Alternate, true }));
    EXPECT_FALSE(ui::GnomeShortcutProvider::shortcutForAccelerator("disabled"));
    EXPECT_FALSE(ui::GnomeShortcutProvider::shortcutForAccelerator(""));

    // A folder of its own: the binary runs at two scales at once, and a shared one was read while the other wrote it.
    testsupport::TemporaryFolder schemas;
    const std::string& folder = schemas.path();
    ASSERT_FALSE(folder.empty());
    schemas.write("org.gnome.desktop.wm.keybindings.gschema.xml", R"(<schemalist>
  <schema id="org.gnome.desktop.wm.keybindings" path="/org/gnome/desktop/wm/keybindings/">
    <key name="close" type="as"><default>['&lt;Alt&gt;F4']</default></key>
    <key name="switch-windows" type="as"><default>['&lt;Super&gt;Tab', '&lt;Alt&gt;Tab']</default></key>
    <key name="minimize" type="as"><default>[]</default></key>
    <key name="maximize" type="as"><default>['disabled']</default></key>
  </schema>
</schemalist>
)");
    ASSERT_EQ(std::system(("glib-compile-schemas " + folder).c_str()), 0);
    ui::GnomeShortcutProvider provider(folder);
    auto shortcuts = provider.systemShortcuts();
    ASSERT_TRUE(shortcuts);
    std::vector<ui::SystemShortcut> expected {
        { "org.gnome.desktop.wm.keybindings/close", ui::KeyCode::F4, Flags::Alternate, true },
        { "org.gnome.desktop.wm.keybindings/switch-windows", ui::KeyCode::Tab, Flags::Control, true },
        { "org.gnome.desktop.wm.keybindings/switch-windows", ui::KeyCode::Tab, Flags::Alternate, true },
    };
    EXPECT_EQ(*shortcuts, expected);
}

}
