#include "GtkTestSupport.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferenceWindowController.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/detail/ZORPreferenceWindowControllerTesting.h"

using namespace gtktest;

class PreferenceWindowDisplayTest : public GtkDisplayTest {
protected:
    ~PreferenceWindowDisplayTest() override
    {
        ZORPreferenceWindowControllerTesting::forgetSharedPreferenceWindowController();
    }
};

// A plug-in pane answering a minimum size of 1e300 points is shown: the window keeps that minimum (as far as a
// window's limits go, ten million points) while the window system is asked for no more than the screen, so the
// program goes on, with the memory of a window of the screen's size.
TEST_F(PreferenceWindowDisplayTest, APlugInPaneWithAHugeMinimumIsShownWithinTheScreen)
{
    PeakMemoryGrowth memory;
    ZORPreferenceWindowControllerTesting::forgetSharedPreferenceWindowController();
    auto controller = ZORPreferenceWindowController::create("Huge Minimum Display Test");
    ASSERT_TRUE(controller);
    controller->addPluginFromPath(fnd::String(PREFS_DISPLAY_PLUGIN_DIR "/HugeMinimum.prefPane"));
    const fnd::String identifier = "org.barcodes.test.hugeminimum";
    ASSERT_TRUE(controller->prefPaneWithIdentifier(identifier));

    auto window = controller->window();
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(controller->activePane());
    EXPECT_EQ(controller->activePane()->identifier(), identifier);
    EXPECT_EQ(window->minSize(), gfx::Size(1e7, 1e7));
    EXPECT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > 0; }));
    const auto screen = std::make_pair(1280 / scale(), 1024 / scale());
    EXPECT_TRUE(waitFor([&] { return canvasSize(*window) == screen; }))
        << "the canvas is " << canvasSize(*window).first << " × " << canvasSize(*window).second;
    long frames = backend->presentedFrameCount(*window);
    window->contentView()->setNeedsDisplay(true);
    EXPECT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > frames; }));
    EXPECT_LT(memory.kilobytes(), 200 * 1024);
    window->close();
}
