#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"

#include <string>
#include <vector>

using namespace ui;

namespace {

// A view whose layout hook runs the test's code and writes the order of layouts and drawings into a shared log.
class LayoutProbeView : public uitest::TestView {
    FND_OBJECT(LayoutProbeView)
public:
    static std::shared_ptr<LayoutProbeView> make(const char* name, gfx::Rect frame, std::vector<std::string>& log)
    {
        auto view = ui::makeView<LayoutProbeView>(frame);
        view->name = name;
        view->log = &log;
        return view;
    }
    void layout() override
    {
        ++layouts;
        log->push_back(name + ".layout");
        if (onLayout)
            onLayout(*this);
    }
    void drawRect(gfx::Rect dirty) override
    {
        log->push_back(name + ".draw " + gfx::stringFromRect(frame()).utf8());
        TestView::drawRect(dirty);
    }

    std::string name;
    std::vector<std::string>* log { nullptr };
    std::function<void(LayoutProbeView&)> onLayout;
    int layouts { 0 };
};

FND_REGISTER_CLASS(LayoutProbeView, uitest::TestView)

// A window with a container that places a panel over its left half and a child inside the panel.
class ViewLayoutTest : public uitest::UiTest {
protected:
    void SetUp() override
    {
        window = Window::create({ 100, 100, 200, 100 });
        container = LayoutProbeView::make("container", { 0, 0, 200, 100 }, log);
        panel = LayoutProbeView::make("panel", { 0, 0, 10, 10 }, log);
        child = LayoutProbeView::make("child", { 0, 0, 1, 1 }, log);
        window->setContentView(container);
        container->addSubview(panel);
        panel->addSubview(child);
        container->onLayout = [this](LayoutProbeView& v) {
            panel->setFrame({ 0, 0, v.bounds().width() / 2, v.bounds().height() });
        };
        panel->onLayout = [this](LayoutProbeView& v) { child->setFrame(gfx::insetRect(v.bounds(), 10, 10)); };
        container->setNeedsLayout();
        window->orderFront();
        log.clear();
        container->layouts = panel->layouts = child->layouts = 0;
    }
    void runOnce() { fnd::RunLoop::current().runMode(fnd::RunLoopMode::Default, fnd::Date::distantPast()); }

    std::vector<std::string> log;
    std::shared_ptr<Window> window;
    std::shared_ptr<LayoutProbeView> container, panel, child;
};

}

// Showing the window laid the tree out before drawing it; a later request is served by the next display pass,
// parents before children, and every view is drawn at its laid-out frame (on the next frame of the screen).
TEST_F(ViewLayoutTest, TheDisplayPassLaysOutTopDownBeforeDrawing)
{
    EXPECT_EQ(panel->frame(), gfx::Rect(0, 0, 100, 100));
    EXPECT_EQ(child->frame(), gfx::Rect(10, 10, 80, 80));

    container->setFrameSize({ 300, 60 });
    EXPECT_TRUE(container->needsLayout());
    EXPECT_TRUE(window->viewsNeedLayout());
    EXPECT_EQ(panel->frame(), gfx::Rect(0, 0, 100, 100)) << "layout waits for the display pass";
    runOnce();

    EXPECT_FALSE(container->needsLayout());
    EXPECT_FALSE(window->viewsNeedLayout());
    EXPECT_EQ(panel->frame(), gfx::Rect(0, 0, 150, 60));
    EXPECT_EQ(child->frame(), gfx::Rect(10, 10, 130, 40));
    // Shown in this frame already: the drawing waits for the next one, the layout did not.
    EXPECT_EQ(log.size(), 3u);
    clock->advance(1.0 / 60);
    runOnce();
    std::vector<std::string> layoutsFirst { "container.layout", "panel.layout", "child.layout" };
    ASSERT_GE(log.size(), 4u) << "the pass drew nothing";
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3), layoutsFirst);
    EXPECT_EQ(log[3], "container.draw {{0, 0}, {300, 60}}");
    EXPECT_NE(std::find(log.begin(), log.end(), "child.draw {{10, 10}, {130, 40}}"), log.end());
}

// Only a change of size asks for layout; a move or an unchanged frame leaves it alone, and a request in a window
// that is not shown waits without drawing.
TEST_F(ViewLayoutTest, OnlyASizeChangeAsksForLayout)
{
    panel->setFrameOrigin({ 5, 5 });
    panel->setFrame(panel->frame());
    EXPECT_FALSE(panel->needsLayout());
    panel->setFrameSize({ 50, 50 });
    EXPECT_TRUE(panel->needsLayout());
    EXPECT_FALSE(container->needsLayout()) << "the superview is not laid out for a subview's size";
    panel->layoutSubtreeIfNeeded();
    EXPECT_EQ(child->frame(), gfx::Rect(10, 10, 30, 30));
    EXPECT_EQ(container->layouts, 0);

    window->orderOut();
    log.clear();
    container->setNeedsLayout();
    runOnce();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(container->needsLayout());
}

// Layout that asks for more layout, in a view already passed or in an ancestor, is run in the same call until
// nothing is due; one that never settles stops after a bounded number of rounds with a warning.
TEST_F(ViewLayoutTest, LayoutThatAsksForMoreLayoutSettlesOrIsBounded)
{
    // The container asks for the child; the child, laid out last, asks for the container twice more: three rounds.
    container->onLayout = [this](LayoutProbeView&) { child->setNeedsLayout(); };
    int asked = 0;
    child->onLayout = [&](LayoutProbeView&) {
        if (++asked < 3)
            container->setNeedsLayout();
    };
    container->setNeedsLayout();
    container->layoutSubtreeIfNeeded();
    EXPECT_EQ(container->layouts, 3);
    EXPECT_EQ(child->layouts, 3);
    EXPECT_FALSE(container->needsLayout());

    std::vector<fnd::String> warnings;
    auto previous = fnd::setLogSink([&](fnd::LogLevel level, const fnd::String& message) {
        if (level == fnd::LogLevel::Warning)
            warnings.push_back(message);
    });
    child->onLayout = [](LayoutProbeView& v) { v.setNeedsLayout(); };
    child->layouts = 0;
    child->setNeedsLayout();
    window->layoutIfNeeded();
    fnd::setLogSink(previous);
    EXPECT_EQ(child->layouts, 16);
    EXPECT_FALSE(child->needsLayout());
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].utf8().find("LayoutProbeView"), std::string::npos) << warnings[0].utf8();
}

// A view that asked for layout outside any window brings the request along into the window it joins; a view that
// never joins one is laid out before it is drawn elsewhere.
TEST_F(ViewLayoutTest, RequestsFollowAViewIntoItsWindowAndIntoOffscreenDrawing)
{
    auto loose = LayoutProbeView::make("loose", { 0, 0, 40, 40 }, log);
    auto inner = LayoutProbeView::make("inner", { 0, 0, 40, 40 }, log);
    loose->addSubview(inner);
    inner->setNeedsLayout();
    EXPECT_FALSE(window->viewsNeedLayout());
    container->addSubview(loose);
    EXPECT_TRUE(window->viewsNeedLayout());
    window->displayIfNeeded();
    EXPECT_EQ(inner->layouts, 1);

    auto offscreen = LayoutProbeView::make("offscreen", { 0, 0, 20, 20 }, log);
    auto filled = LayoutProbeView::make("filled", { 0, 0, 1, 1 }, log);
    filled->fill = gfx::Color::colorWithCalibratedRed(0, 0, 1, 1);
    offscreen->addSubview(filled);
    offscreen->onLayout = [&](LayoutProbeView& v) { filled->setFrame(v.bounds()); };
    offscreen->setNeedsLayout();
    auto bitmap = offscreen->bitmapImageRepForCachingDisplayInRect(offscreen->bounds());
    offscreen->cacheDisplayInRect(offscreen->bounds(), *bitmap);
    EXPECT_EQ(filled->frame(), gfx::Rect(0, 0, 20, 20));
    auto corner = bitmap->pixelBuffer().pixel(19, 0);
    EXPECT_EQ(gfx::blueOf(corner), 255);
}

// Drawing one view at once (display) lays its window out first.
TEST_F(ViewLayoutTest, DisplayingAViewLaysItsWindowOutFirst)
{
    container->setFrameSize({ 120, 100 });
    panel->display();
    EXPECT_EQ(panel->frame(), gfx::Rect(0, 0, 60, 100));
    EXPECT_FALSE(window->viewsNeedLayout());
}
