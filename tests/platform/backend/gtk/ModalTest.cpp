#include "GtkTestSupport.h"

#include <fmt/format.h>

using namespace gtktest;

namespace {

// Ends the modal session with the key's code when a key comes.
class StopOnKey : public KeyRecorder {
    FND_OBJECT(StopOnKey)
public:
    void keyDown(const ui::Event& event) override
    {
        KeyRecorder::keyDown(event);
        ui::Application::shared().stopModalWithCode(event.keyCode() + 100);
    }
};
FND_REGISTER_CLASS(StopOnKey, KeyRecorder)

}

class ModalTest : public GtkDisplayTest { };

// A modal session waits in GLib's context like every run, so the desktop's key events reach its window.
TEST_F(ModalTest, KeysReachAModalWindow)
{
    auto view = std::make_shared<StopOnKey>();
    view->initWithFrame({});
    auto window = showWindow({ 100, 100, 120, 80 }, view);
    window->makeFirstResponder(view);
    ASSERT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*window); }));
    // The key is pressed from inside the session, once it runs: a key that came before would end nothing.
    StagedGesture typist;
    typist.then("key x", [&] { return ui::Application::shared().modalWindow() == window; }).start();
    long code = ui::Application::shared().runModalForWindow(window);
    EXPECT_EQ(code, ui::KeyCode::X + 100);
}

// A sheet hangs from the top of its parent's content, centred, on the screen.
TEST_F(ModalTest, SheetsHangFromTheirParentsTop)
{
    auto parent = showWindow({ 150, 200, 240, 160 }, FillView::make({}, gfx::Color::colorWithDeviceRed(1, 0, 0)));
    auto sheet = ui::Window::create({ 0, 0, 120, 60 }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::DocModal);
    sheet->setContentView(FillView::make({ 0, 0, 120, 60 }, gfx::Color::colorWithDeviceRed(0, 0, 1)));
    parent->beginSheet(sheet, nullptr);
    ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*sheet) > 0; }));
    auto [x, y, width, height] = deviceRectOfContent(*parent);
    int s = scale();
    // The sheet's top row touches the parent's top; its sides are 60 points in from the parent's.
    EXPECT_TRUE(waitFor([&, x = x, y = y] { return grabScreen(x + 60 * s + 1, y + 1, 1, 1).at(0, 0) == 0x0000FF; }));
    auto row = grabScreen(x, y + 30 * s, width, 1);
    EXPECT_EQ(row.at(60 * s - 1, 0), 0xFF0000u) << "left of the sheet";
    EXPECT_EQ(row.at(60 * s, 0), 0x0000FFu) << "the sheet's left edge";
    EXPECT_EQ(row.at(180 * s - 1, 0), 0x0000FFu) << "the sheet's right edge";
    EXPECT_EQ(row.at(180 * s, 0), 0xFF0000u) << "right of the sheet";
    EXPECT_EQ(grabScreen(x + 120 * s, y + 61 * s, 1, 1).at(0, 0), 0xFF0000u) << "below the sheet";
    parent->endSheet(sheet);
}
