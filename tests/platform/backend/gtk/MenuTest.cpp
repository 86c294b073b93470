#include "GtkTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <fmt/format.h>

using namespace gtktest;

namespace {

std::shared_ptr<ui::Menu> menuOf(const std::vector<std::string>& titles, const std::shared_ptr<KeyRecorder>& target)
{
    auto menu = ui::Menu::create("Menu");
    for (const auto& title : titles) {
        auto item = menu->addItemWithTitle(fnd::String(title), fnd::Selector("pick:"));
        item->setTarget(target);
    }
    return menu;
}

}

class MenuTest : public GtkDisplayTest { };

// A pop-up menu is a window of its own with its top left at the screen point; it takes the keyboard through the
// key window and answers the picked item, whose action runs.
TEST_F(MenuTest, PopUpMenuOpensAtThePointAndAnswersThePick)
{
    auto recorder = KeyRecorder::make({});
    recorder->fill = gfx::Color::colorWithDeviceRed(1, 0, 0);
    auto window = showWindow({ 100, 300, 200, 150 }, recorder);
    auto menu = menuOf({ "First", "Second", "Third" }, recorder);
    auto topLeft = window->convertBaseToScreen({ 20, 120 });
    auto [x, y, width, height] = deviceRectOfContent(*window);
    int s = scale();
    // Inside the menu's own loop: once the menu's window shows over the red content just below and right of the
    // point, look at it and pick the second item with the keyboard.
    bool shown = false;
    auto chooser = fnd::Timer::create(0.05, true, [&, x = x, y = y](fnd::Timer& timer) {
        auto shot = grabScreen(x, y, 200 * s, 150 * s);
        if (shot.at(30 * s, 40 * s) == 0xFF0000)
            return;
        timer.invalidate();
        shown = true;
        EXPECT_EQ(shot.at(18 * s, 40 * s), 0xFF0000u) << "left of the point the window's content shows";
        shot.save(fmt::format("gtk-popup-scale{}.png", s));
        startInBackground({ "xdotool", "key", "--delay", "100", "Down", "Down", "Return" });
    });
    fnd::RunLoop::main().addTimer(chooser, fnd::RunLoopMode::Common);
    bool picked = menu->popUpMenuPositioningItem(nullptr, topLeft);
    chooser->invalidate();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(picked);
    ASSERT_EQ(recorder->picked.size(), 1u);
    EXPECT_EQ(recorder->picked[0], "Second");
}

// The main menu shows as a menu bar above a document window's content, which keeps its place on the screen; its
// items work from the bar.
TEST_F(MenuTest, MainMenuIsABarAboveTheContent)
{
    auto recorder = KeyRecorder::make({});
    recorder->fill = gfx::Color::colorWithDeviceRed(1, 0, 0);
    auto main = ui::Menu::create("Main");
    auto file = ui::Menu::create("File");
    file->addItemWithTitle("Open", fnd::Selector("pick:"), "o")->setTarget(recorder);
    main->addItemWithTitle("File")->setSubmenu(file);
    ui::Application::shared().setMainMenu(main);
    auto window = showWindow({ 100, 300, 240, 120 }, recorder);
    auto [x, y, width, height] = deviceRectOfContent(*window);
    // The content: red, where the frame says.
    EXPECT_TRUE(waitFor([&, x = x, y = y] { return grabScreen(x + 1, y + 1, 1, 1).at(0, 0) == 0xFF0000; }));
    // The bar: GTK's, just above it.
    auto bar = grabScreen(x, y - 10 * scale(), width, 10 * scale());
    bar.save(fmt::format("gtk-menubar-scale{}.png", scale()));
    EXPECT_NE(bar.at(width / 2, 5 * scale()), 0xFF0000u);
    EXPECT_NE(bar.at(width / 2, 5 * scale()), 0x000000u) << "something is drawn above the content";

    // Open "File" with a click on the bar, then pick its item with the keyboard.
    int s = scale();
    auto command = fmt::format("xdotool mousemove {} {} click 1", x + 12 * s, y - 8 * s);
    ASSERT_EQ(runWhileServing(*backend, command).status, 0);
    // The menu opens over the content's top left.
    EXPECT_TRUE(waitFor([&, x = x, y = y] { return grabScreen(x + 20 * s, y + 10 * s, 1, 1).at(0, 0) != 0xFF0000; }));
    grabScreen(0, 0, 1280, 1024).save(fmt::format("gtk-menubar-open-scale{}.png", scale()));
    // The open menu has its first item selected.
    ASSERT_EQ(runWhileServing(*backend, "xdotool key Return").status, 0);
    ASSERT_TRUE(waitFor([&] { return !recorder->picked.empty(); })) << "the bar's item did nothing";
    EXPECT_EQ(recorder->picked[0], "Open");
}
