#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"

#include <cmath>
#include <random>

using namespace ui;
using uitest::TestView;

namespace {

::testing::AssertionResult near(gfx::Point a, gfx::Point b)
{
    if (gfx::nearlyEqual(a, b, 1e-9))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ") != (" << b.x << ", " << b.y << ")";
}

::testing::AssertionResult near(gfx::Rect a, gfx::Rect b, double tolerance = 1e-9)
{
    if (gfx::nearlyEqual(a, b, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "{" << a.minX() << " " << a.minY() << " " << a.width() << " " << a.height()
                                         << "} != {" << b.minX() << " " << b.minY() << " " << b.width() << " "
                                         << b.height() << "}";
}

class ViewGeometryTest : public uitest::UiTest {
protected:
    ViewGeometryTest()
    {
        window = Window::create({ 100, 100, 200, 100 });
        root = window->contentView();
    }
    std::shared_ptr<Window> window;
    std::shared_ptr<View> root;
};

}

TEST_F(ViewGeometryTest, PointsConvertToTheWindowForEachOrientationScaleAndScroll)
{
    struct Case {
        const char* name;
        bool flipped;
        gfx::Size scale; // scaleUnitSquareToSize, none when zero
        gfx::Point boundsOrigin;
        gfx::Point local;
        gfx::Point base;
    };
    const Case cases[] = {
        { "unflipped origin", false, {}, {}, { 0, 0 }, { 10, 20 } },
        { "unflipped point", false, {}, {}, { 5, 10 }, { 15, 30 } },
        { "flipped origin is the top left", true, {}, {}, { 0, 0 }, { 10, 60 } },
        { "flipped point goes down", true, {}, {}, { 5, 10 }, { 15, 50 } },
        { "zoomed twice as large", false, { 2, 2 }, {}, { 5, 5 }, { 20, 30 } },
        { "zoomed and flipped", true, { 2, 2 }, {}, { 5, 5 }, { 20, 50 } },
        { "scrolled", false, {}, { 100, 200 }, { 100, 200 }, { 10, 20 } },
        { "scrolled and flipped", true, {}, { 0, 30 }, { 0, 30 }, { 10, 60 } },
    };
    for (const auto& c : cases) {
        auto view = TestView::make({ 10, 20, 50, 40 }, c.flipped);
        root->addSubview(view);
        if (c.scale.width)
            view->scaleUnitSquareToSize(c.scale);
        view->setBoundsOrigin(c.boundsOrigin);
        EXPECT_TRUE(near(view->convertPointToView(c.local, nullptr), c.base)) << c.name;
        EXPECT_TRUE(near(view->convertPointFromView(c.base, nullptr), c.local)) << c.name;
        view->removeFromSuperview();
    }
}

// A view turned a quarter about its frame origin (50, 20): its x axis runs up its superview, its y axis to the left,
// so its point (10, 5) lies at (50 - 5, 20 + 10) = (45, 30), and its bounds cover (30..50, 20..120) there.
TEST_F(ViewGeometryTest, ATurnedFrameTurnsConversionsHitTestingAndDrawing)
{
    auto turned = TestView::make({ 50, 20, 100, 20 }, false, gfx::Color::redColor());
    root->addSubview(turned);
    window->orderFront();
    EXPECT_EQ(turned->frameRotation(), 0);
    turned->setFrameRotation(90);
    EXPECT_EQ(turned->frame(), gfx::Rect(50, 20, 100, 20)) << "the frame stays the unturned rectangle";
    EXPECT_TRUE(near(turned->convertPointToView({ 10, 5 }, root.get()), { 45, 30 }));
    EXPECT_TRUE(near(turned->convertPointFromView({ 45, 30 }, root.get()), { 10, 5 }));
    EXPECT_TRUE(near(turned->convertRectToView(turned->bounds(), root.get()), { 30, 20, 20, 100 }));
    EXPECT_EQ(root->hitTest({ 45, 30 }), turned);
    EXPECT_EQ(root->hitTest({ 60, 25 }), root) << "inside the unturned frame only";
    // A flipped view turns the same way: its y axis runs down its bounds, so its point (10, 5) is 15 from the
    // turned frame's far side: (50 - 15, 20 + 10).
    auto flipped = TestView::make({ 50, 20, 100, 20 }, true);
    root->addSubview(flipped);
    flipped->setFrameRotation(90);
    EXPECT_TRUE(near(flipped->convertPointToView({ 10, 5 }, root.get()), { 35, 30 }));
    flipped->removeFromSuperview();

    auto image = backend->imageOfWindow(*window);
    ASSERT_TRUE(image);
    auto pixels = image->pixelBuffer();
    auto redAt = [&](int x, int yUp) {
        auto p = pixels.pixel(x, pixels.height - 1 - yUp);
        return gfx::redOf(p) == 255 && gfx::greenOf(p) == 0 && gfx::blueOf(p) == 0;
    };
    EXPECT_TRUE(redAt(45, 30)) << "drawn where it turned to";
    EXPECT_TRUE(redAt(31, 90));
    EXPECT_FALSE(redAt(60, 25)) << "not where it was";

    turned->setFrameRotation(std::nan(""));
    EXPECT_EQ(turned->frameRotation(), 0) << "not a number: no turn";
}

TEST_F(ViewGeometryTest, NestedViewsOfMixedOrientationConvertBetweenEachOther)
{
    auto flippedParent = TestView::make({ 10, 10, 100, 80 }, true);
    auto child = TestView::make({ 0, 0, 20, 10 });
    auto sibling = TestView::make({ 150, 0, 40, 40 });
    root->addSubview(flippedParent);
    flippedParent->addSubview(child);
    root->addSubview(sibling);

    // The child's frame hangs from the flipped parent's top edge; its own y still goes up.
    EXPECT_TRUE(near(child->convertPointToView({ 0, 0 }, nullptr), { 10, 80 }));
    EXPECT_TRUE(near(child->convertPointToView({ 0, 10 }, nullptr), { 10, 90 }));
    EXPECT_TRUE(near(child->convertPointToView({ 0, 0 }, flippedParent.get()), { 0, 10 }));
    EXPECT_TRUE(near(child->convertPointToView({ 3, 4 }, sibling.get()), { 10 + 3 - 150, 80 + 4 }));
    for (gfx::Point p : { gfx::Point { 1, 2 }, gfx::Point { -7, 33 }, gfx::Point { 19.5, 0.25 } }) {
        auto there = child->convertPointToView(p, sibling.get());
        EXPECT_TRUE(near(child->convertPointFromView(there, sibling.get()), p));
    }
    // Rects come out standardised, sizes stay positive.
    auto flippedChild = TestView::make({ 10, 20, 50, 40 }, true);
    root->addSubview(flippedChild);
    EXPECT_TRUE(near(flippedChild->convertRectToView({ 0, 0, 10, 5 }, nullptr), { 10, 55, 10, 5 }));
    auto size = flippedChild->convertSizeToView({ 3, 4 }, nullptr);
    EXPECT_EQ(size.width, 3);
    EXPECT_EQ(size.height, 4);
    flippedChild->scaleUnitSquareToSize({ 2, 2 });
    size = flippedChild->convertSizeToView({ 1, 1 }, nullptr);
    EXPECT_EQ(size.width, 2);
    EXPECT_EQ(size.height, 2);
}

TEST_F(ViewGeometryTest, BoundsScaleIsCumulativeAndSurvivesFrameChanges)
{
    auto view = TestView::make({ 0, 0, 100, 80 });
    root->addSubview(view);
    view->setBoundsOrigin({ 10, 20 });
    view->scaleUnitSquareToSize({ 2, 2 });
    EXPECT_TRUE(near(view->bounds(), { 5, 10, 50, 40 }));
    view->scaleUnitSquareToSize({ 2, 4 });
    EXPECT_TRUE(near(view->bounds(), { 2.5, 2.5, 25, 10 }));
    view->setFrameSize({ 200, 40 });
    EXPECT_TRUE(near(view->bounds(), { 2.5, 2.5, 50, 5 }));
    EXPECT_TRUE(near(view->convertPointToView({ 2.5 + 1, 2.5 + 1 }, nullptr), { 4, 8 }));
}

TEST_F(ViewGeometryTest, AutoresizingSharesTheChangeAmongTheFlexibleParts)
{
    using namespace AutoresizingMask;
    struct Case {
        unsigned mask;
        gfx::Rect expected;
    };
    // The superview grows from 100×100 to 150×200; the subview starts at {10 20 30 40}, so its margins are
    // 10 and 60 across and 20 and 40 up.
    const Case cases[] = {
        { NotSizable, { 10, 20, 30, 40 } },
        { WidthSizable, { 10, 20, 80, 40 } },
        { MinXMargin, { 60, 20, 30, 40 } },
        { MaxXMargin, { 10, 20, 30, 40 } },
        { MinXMargin | MaxXMargin, { 10 + 50.0 * 10 / 70, 20, 30, 40 } },
        { MinXMargin | WidthSizable, { 22.5, 20, 67.5, 40 } },
        { WidthSizable | MaxXMargin, { 10, 20, 30 + 50.0 * 30 / 90, 40 } },
        { MinXMargin | WidthSizable | MaxXMargin, { 15, 20, 45, 40 } },
        { HeightSizable, { 10, 20, 30, 140 } },
        { MinYMargin, { 10, 120, 30, 40 } },
        { MaxYMargin, { 10, 20, 30, 40 } },
        { MinYMargin | HeightSizable, { 10, 20 + 100.0 * 20 / 60, 30, 40 + 100.0 * 40 / 60 } },
        { MinYMargin | MaxYMargin, { 10, 20 + 100.0 * 20 / 60, 30, 40 } },
        { WidthSizable | HeightSizable, { 10, 20, 80, 140 } },
        { MinXMargin | MinYMargin, { 60, 120, 30, 40 } },
    };
    for (const auto& c : cases) {
        auto parent = TestView::make({ 0, 0, 100, 100 });
        auto child = TestView::make({ 10, 20, 30, 40 });
        parent->addSubview(child);
        child->setAutoresizingMask(c.mask);
        parent->setFrameSize({ 150, 200 });
        EXPECT_TRUE(near(child->frame(), c.expected, 1e-9)) << "mask " << c.mask;
    }

    // Shrinking past the size leaves an empty view, never a negative one; a parent that does not autoresize
    // leaves its subviews alone; a zoomed parent resizes in its own units.
    auto parent = TestView::make({ 0, 0, 100, 100 });
    auto child = TestView::make({ 10, 20, 30, 40 });
    parent->addSubview(child);
    child->setAutoresizingMask(WidthSizable | HeightSizable);
    parent->setFrameSize({ 50, 50 });
    EXPECT_TRUE(near(child->frame(), { 10, 20, 0, 0 }));
    parent->setAutoresizesSubviews(false);
    parent->setFrameSize({ 300, 300 });
    EXPECT_TRUE(near(child->frame(), { 10, 20, 0, 0 }));

    auto zoomed = TestView::make({ 0, 0, 100, 100 });
    auto inner = TestView::make({ 0, 0, 50, 50 });
    zoomed->addSubview(inner);
    zoomed->scaleUnitSquareToSize({ 2, 2 });
    inner->setAutoresizingMask(WidthSizable);
    zoomed->setFrameSize({ 200, 100 });
    EXPECT_TRUE(near(inner->frame(), { 0, 0, 100, 50 }));
}

// A superview made smaller than a subview's room (a window under its minimum) empties the subview, and growing back
// gives the subview the frame it had: what the size went below zero is kept and given back first.
TEST_F(ViewGeometryTest, AutoresizingPastAnEmptyViewComesBackToTheSameFrame)
{
    using namespace AutoresizingMask;
    auto parent = TestView::make({ 0, 0, 860, 600 });
    auto preview = TestView::make({ 320, 20, 520, 560 });
    auto column = TestView::make({ 20, 500, 280, 24 });
    parent->addSubview(preview);
    parent->addSubview(column);
    preview->setAutoresizingMask(WidthSizable | HeightSizable);
    column->setAutoresizingMask(MinYMargin);
    parent->setFrameSize({ 250, 30 });
    EXPECT_TRUE(near(preview->frame(), { 320, 20, 0, 0 })) << "empty, never negative";
    parent->setFrameSize({ 100, 10 });
    parent->setFrameSize({ 860, 600 });
    EXPECT_TRUE(near(preview->frame(), { 320, 20, 520, 560 }));
    EXPECT_TRUE(near(column->frame(), { 20, 500, 280, 24 }));
    parent->setFrameSize({ 1000, 700 });
    EXPECT_TRUE(near(preview->frame(), { 320, 20, 660, 660 }));

    // A size someone sets starts afresh: nothing is owed from before.
    parent->setFrameSize({ 300, 600 });
    preview->setFrameSize({ 10, 560 });
    parent->setFrameSize({ 400, 600 });
    EXPECT_TRUE(near(preview->frame(), { 320, 20, 110, 560 }));
}

// Steps of a superview's size, through sizes too small for the subview, end where one step to the last size ends.
TEST_F(ViewGeometryTest, AutoresizingInStepsMatchesOneStepToTheSameSize)
{
    using namespace AutoresizingMask;
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> size(0, 400);
    // One flexible part per axis, any of them: the change goes to it whole, so the path does not matter.
    const unsigned xParts[] = { MinXMargin, WidthSizable, MaxXMargin };
    const unsigned yParts[] = { MinYMargin, HeightSizable, MaxYMargin };
    for (int round = 0; round < 200; ++round) {
        const unsigned mask = xParts[random() % 3] | yParts[random() % 3];
        const gfx::Rect start { 30, 40, 90, 60 };
        auto stepped = TestView::make({ 0, 0, 200, 150 });
        auto child = TestView::make(start);
        stepped->addSubview(child);
        child->setAutoresizingMask(mask);
        gfx::Size last;
        for (int step = 0; step < 12; ++step) {
            last = { std::floor(size(random)), std::floor(size(random)) };
            stepped->setFrameSize(last);
        }
        auto once = TestView::make({ 0, 0, 200, 150 });
        auto rebuilt = TestView::make(start);
        once->addSubview(rebuilt);
        rebuilt->setAutoresizingMask(mask);
        once->setFrameSize(last);
        ASSERT_TRUE(near(child->frame(), rebuilt->frame())) << "round " << round << ", mask " << mask;
    }
}

// A zoomed view keeps its zoom through a frame of no size, and a zoom set while it has none.
TEST_F(ViewGeometryTest, TheBoundsScaleOutlivesAnEmptyFrame)
{
    auto clip = TestView::make({ 0, 0, 200, 100 });
    clip->scaleUnitSquareToSize({ 2, 2 });
    clip->setFrameSize({ 0, 0 });
    EXPECT_EQ(clip->bounds().size, gfx::Size(0, 0));
    clip->setFrameSize({ 300, 100 });
    EXPECT_EQ(clip->bounds().size, gfx::Size(150, 50));
    clip->setFrameSize({ 0, 100 });
    clip->scaleUnitSquareToSize({ 2, 2 });
    clip->setFrameSize({ 400, 100 });
    EXPECT_EQ(clip->bounds().size, gfx::Size(100, 25)) << "four times, across and up";
}

TEST_F(ViewGeometryTest, WindowResizeAutoresizesTheContent)
{
    auto bar = TestView::make({ 0, 80, 200, 20 });
    bar->setAutoresizingMask(AutoresizingMask::WidthSizable | AutoresizingMask::MinYMargin);
    root->addSubview(bar);
    auto frame = window->frame();
    window->setFrame({ frame.origin, { 300, frame.height() + 50 } }, false);
    EXPECT_TRUE(near(root->frame(), { 0, 0, 300, 150 }));
    EXPECT_TRUE(near(bar->frame(), { 0, 130, 300, 20 }));
}

TEST_F(ViewGeometryTest, HitTestingFindsTheFrontmostDeepestVisibleView)
{
    auto a = TestView::make({ 10, 10, 50, 50 });
    auto b = TestView::make({ 5, 5, 10, 10 });
    auto flipped = TestView::make({ 100, 0, 60, 60 }, true);
    auto inFlipped = TestView::make({ 0, 0, 20, 20 });
    auto overlap = TestView::make({ 40, 40, 40, 40 });
    root->addSubview(a);
    a->addSubview(b);
    root->addSubview(flipped);
    flipped->addSubview(inFlipped);
    root->addSubview(overlap);

    struct Case {
        gfx::Point point;
        View* expected;
    };
    const Case cases[] = {
        { { 17, 17 }, b.get() },
        { { 12, 12 }, a.get() },
        { { 45, 45 }, overlap.get() }, // later siblings are in front
        { { 150, 90 }, root.get() },
        { { 105, 55 }, inFlipped.get() }, // the flipped parent puts it at its top
        { { 105, 5 }, flipped.get() },
        { { 10, 60 }, a.get() }, // an unflipped frame owns its top edge, as the platform's mouse test has it
        { { 10, 10 }, root.get() }, // and not its bottom edge
        { { 500, 500 }, nullptr },
    };
    for (const auto& c : cases) {
        auto hit = root->hitTest(c.point);
        EXPECT_EQ(hit.get(), c.expected) << "at " << c.point.x << ", " << c.point.y;
    }
    b->setHidden(true);
    EXPECT_EQ(root->hitTest({ 17, 17 }).get(), a.get());
    a->setHidden(true);
    EXPECT_EQ(root->hitTest({ 17, 17 }).get(), root.get());
}

TEST_F(ViewGeometryTest, TreeHooksAndNotificationsArriveInOrder)
{
    struct Hooked : TestView {
        void viewWillMoveToWindow(Window* w) override { log.push_back(w ? "willMoveToWindow" : "willLeaveWindow"); }
        void viewDidMoveToWindow() override { log.push_back("didMoveToWindow"); }
        void viewWillMoveToSuperview(View* v) override
        {
            log.push_back(v ? "willMoveToSuperview" : "willLeaveSuperview");
        }
        void viewDidMoveToSuperview() override { log.push_back("didMoveToSuperview"); }
        std::vector<std::string> log;
    };
    auto view = std::make_shared<Hooked>();
    view->initWithFrame({ 0, 0, 10, 10 });
    root->addSubview(view);
    EXPECT_EQ(view->log,
        (std::vector<std::string> {
            "willMoveToSuperview", "willMoveToWindow", "didMoveToWindow", "didMoveToSuperview" }));
    EXPECT_EQ(view->window(), window);
    EXPECT_EQ(view->nextResponder().get(), root.get());
    view->log.clear();
    view->removeFromSuperview();
    EXPECT_EQ(view->log,
        (std::vector<std::string> {
            "willLeaveSuperview", "willLeaveWindow", "didMoveToWindow", "didMoveToSuperview" }));
    EXPECT_EQ(view->window(), nullptr);

    int frameChanges = 0, boundsChanges = 0;
    auto& center = fnd::NotificationCenter::defaultCenter();
    auto t1 = center.addObserverForName(
        ViewNotification::FrameDidChange, view->selfValue(), [&](const fnd::Notification&) { ++frameChanges; });
    auto t2 = center.addObserverForName(
        ViewNotification::BoundsDidChange, view->selfValue(), [&](const fnd::Notification&) { ++boundsChanges; });
    view->setFrameOrigin({ 5, 5 });
    view->setFrameOrigin({ 5, 5 }); // no change, no notice
    view->setBoundsOrigin({ 1, 1 });
    view->setPostsFrameChangedNotifications(false);
    view->setFrameSize({ 40, 40 });
    center.removeObserver(t1);
    center.removeObserver(t2);
    EXPECT_EQ(frameChanges, 1);
    EXPECT_EQ(boundsChanges, 1);

    // Positioned insertion and sorting keep the drawing order.
    auto p = TestView::make({});
    auto q = TestView::make({});
    auto r = TestView::make({});
    root->addSubview(p);
    root->addSubview(q, WindowOrderingMode::Below, p.get());
    root->addSubview(r, WindowOrderingMode::Above, q.get());
    ASSERT_EQ(root->subviews().size(), 3u);
    EXPECT_EQ(root->subviews()[0], q);
    EXPECT_EQ(root->subviews()[1], r);
    EXPECT_EQ(root->subviews()[2], p);
    EXPECT_THROW(p->addSubview(root), fnd::Exception);

    // Sorting is stable: p and r tie and keep their order.
    p->setFrameOrigin({ 5, 0 });
    r->setFrameOrigin({ 5, 0 });
    q->setFrameOrigin({ 9, 0 });
    root->sortSubviewsUsingFunction([](const View& a, const View& b) {
        return a.frame().minX() < b.frame().minX() ? ComparisonResult::Ascending
            : a.frame().minX() > b.frame().minX()  ? ComparisonResult::Descending
                                                   : ComparisonResult::Same;
    });
    EXPECT_EQ(root->subviews(), (std::vector<std::shared_ptr<View>> { r, p, q }));
}
