#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORWindow/ZORGreyBackgroundWindow.h"
#include "frameworks/ZORAppKit/ZORWindow/ZORWindow.h"

#include "frameworks/ZORAppKit/ZORViewController/ZORViewController.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/ui/interface/InterfaceFile.h"

#include <string>

namespace windowtest {

class ZORWindowTest : public viewstest::ViewsTest { };

TEST_F(ZORWindowTest, TheFlagsRecordOnlyWhatWasSetAndLeaveTheStyleAlone)
{
    auto window = ZORWindow::create({ 0, 0, 200, 100 }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::Resizable);
    EXPECT_FALSE(window->canZoom());
    EXPECT_FALSE(window->canResize());
    EXPECT_TRUE(window->isStandardWindowButtonEnabled(ui::WindowButton::Zoom)) << "what the window shows differs";
    EXPECT_TRUE(window->showsResizeIndicator());

    window->setCanZoom(false);
    window->setCanResize(false);
    EXPECT_FALSE(window->isStandardWindowButtonEnabled(ui::WindowButton::Zoom));
    EXPECT_TRUE(window->isStandardWindowButtonEnabled(ui::WindowButton::Close));
    EXPECT_FALSE(window->showsResizeIndicator());
    EXPECT_TRUE(window->styleMask() & ui::WindowStyleMask::Resizable) << "the edges still resize it";

    window->setCanZoom(true);
    EXPECT_TRUE(window->canZoom());
    EXPECT_TRUE(window->isStandardWindowButtonEnabled(ui::WindowButton::Zoom));
}

// Switching zoom off is felt: Zoom leaves the window its size (it beeps), and switching it on again zooms it to the
// screen's visible frame.
TEST_F(ZORWindowTest, AWindowWhoseZoomIsOffDoesNotZoom)
{
    auto zorWindow
        = ZORWindow::create({ 100, 100, 200, 122 }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::Resizable);
    zorWindow->orderFront();
    const auto before = zorWindow->frame();
    zorWindow->setCanZoom(false);
    zorWindow->performZoom({});
    EXPECT_EQ(zorWindow->frame(), before);
    EXPECT_EQ(backend->beepCount(), 1);

    zorWindow->setCanZoom(true);
    zorWindow->performZoom({});
    EXPECT_EQ(zorWindow->frame(), gfx::Rect(0, 0, 1440, 878));
    zorWindow->close();
}

TEST_F(ZORWindowTest, AGreyWindowIsGreyAlsoWhenItsInterfaceFileSetsAnotherBackground)
{
    auto made = ZORGreyBackgroundWindow::create({ 0, 0, 100, 100 });
    EXPECT_TRUE(made->backgroundColor()->isEqual(*gfx::Color::controlHighlightColor()));

    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="window" class="ZORGreyBackgroundWindow">
    <rect key="contentRect" x="10" y="10" width="120" height="80"/>
    <color key="backgroundColor" red="1" green="0" blue="0"/>
  </object>
  <object id="zoomless" class="ZORWindow">
    <bool key="canZoom">false</bool>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto grey = std::dynamic_pointer_cast<ZORGreyBackgroundWindow>(loaded->objectsById.at("window"));
    ASSERT_NE(grey, nullptr);
    EXPECT_TRUE(grey->backgroundColor()->isEqual(*gfx::Color::controlHighlightColor()));
    auto zoomless = std::dynamic_pointer_cast<ZORWindow>(loaded->objectsById.at("zoomless"));
    ASSERT_NE(zoomless, nullptr);
    EXPECT_FALSE(zoomless->isStandardWindowButtonEnabled(ui::WindowButton::Zoom));
}

// Records the order of the loading hooks.
class HookedController : public ZORViewController {
public:
    void viewWillLoad() override { log += isViewLoaded() ? "!" : "will "; }
    void viewDidLoad() override { log += isViewLoaded() ? "did" : "!"; }
    std::string log;
};

TEST_F(ZORWindowTest, TheViewControllersHooksComeAroundTheLoadingOfItsView)
{
    auto controller = fnd::makeObject<HookedController>();
    controller->initWithNibName("MemberView", fnd::Bundle::bundleWithName("TestBundle"));
    EXPECT_EQ(controller->log, "") << "the view loads on first request";
    auto view = controller->view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->frame().size, (gfx::Size { 240, 60 }));
    EXPECT_EQ(controller->log, "will did");
    controller->view();
    EXPECT_EQ(controller->log, "will did") << "once";
}

}
