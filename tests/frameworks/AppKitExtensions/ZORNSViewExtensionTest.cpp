#include "frameworks/AppKitExtensions/ZORNSViewExtension.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/controls/Button.h"

#include <cmath>
#include <string>

namespace viewextensiontest {

namespace X = ZORNSViewExtension;
using ui::View;

class ViewExtensionTest : public uitest::UiTest {
protected:
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }

    static std::shared_ptr<View> named(long tag)
    {
        class Tagged : public View {
        public:
            long tag() const override { return m_tag; }
            long m_tag { 0 };
        };
        auto view = fnd::makeObject<Tagged>();
        view->m_tag = tag;
        return view;
    }
    static std::string order(const View& parent)
    {
        std::string s;
        for (const auto& v : parent.subviews())
            s += std::to_string(v->tag());
        return s;
    }
};

TEST_F(ViewExtensionTest, BringingToFrontMovesOnlyTheViewAndKeepsTheOthersInOrder)
{
    auto parent = View::create({ 0, 0, 100, 100 });
    std::vector<std::shared_ptr<View>> children;
    for (long i = 1; i <= 5; ++i) {
        children.push_back(named(i));
        parent->addSubview(children.back());
    }
    X::zorBringToFront(*children[1]);
    EXPECT_EQ(order(*parent), "13452");
    X::zorBringToFront(*children[1]);
    EXPECT_EQ(order(*parent), "13452") << "already frontmost";
    X::zorBringToFront(*children[0]);
    EXPECT_EQ(order(*parent), "34521");
    // Without a superview nothing moves, the view's own subviews included.
    X::zorBringToFront(*parent);
    EXPECT_EQ(parent->superview(), nullptr);
    EXPECT_EQ(order(*parent), "34521");
}

TEST_F(ViewExtensionTest, DescendantsComeDepthFirstWithNestedMatchesAfterTheirAncestors)
{
    auto root = View::create();
    auto outer = ui::Button::create();
    auto plain = View::create();
    auto inner = ui::Button::create();
    auto deep = ui::Button::create();
    root->addSubview(outer);
    root->addSubview(plain);
    outer->addSubview(inner);
    plain->addSubview(deep);

    using Views = std::vector<std::shared_ptr<View>>;
    EXPECT_EQ(X::descendantsKindOfClass(*root, &ui::Button::staticClassInfo()), (Views { outer, inner, deep }));
    EXPECT_EQ(X::descendantsKindOfClass(*root, nullptr), (Views { outer, inner, plain, deep }));
    EXPECT_TRUE(X::descendantsKindOfClass(*deep, nullptr).empty());
    EXPECT_EQ(X::descendantsKindOfClass(*root, &ui::Control::staticClassInfo()).size(), 3u) << "subclasses count";
}

TEST_F(ViewExtensionTest, ScaleIsAbsoluteToTheWindow)
{
    auto window = ui::Window::create({ 0, 0, 300, 300 });
    auto zoomed = View::create({ 0, 0, 200, 200 });
    auto view = View::create({ 10, 10, 100, 100 });
    window->contentView()->addSubview(zoomed);
    zoomed->addSubview(view);
    zoomed->scaleUnitSquareToSize({ 2, 2 });
    EXPECT_EQ(X::scale(*view), (gfx::Size { 2, 2 })) << "the superview's zoom counts";

    auto near
        = [](gfx::Size a, gfx::Size b) { return std::abs(a.width - b.width) + std::abs(a.height - b.height) < 1e-9; };
    view->scaleUnitSquareToSize({ 3, 3 });
    X::setScale(*view, { 2, 2 });
    EXPECT_TRUE(near(X::scale(*view), { 2, 2 })) << gfx::stringFromSize(X::scale(*view)).utf8();
    X::resetScaling(*view);
    EXPECT_TRUE(near(X::scale(*view), { 1, 1 }));
    X::setScale(*view, { 0.5, 4 });
    EXPECT_TRUE(near(X::scale(*view), { 0.5, 4 }));
}

// Draws a red square at (0, 0, 10, 10) of its bounds over white.
class Marked : public View {
public:
    void drawRect(gfx::Rect) override
    {
        auto* context = gfx::GraphicsContext::current();
        context->setFillColor(*gfx::Color::whiteColor());
        context->fillRect(bounds());
        context->setFillColor(*gfx::Color::redColor());
        context->fillRect({ 0, 0, 10, 10 });
    }
};

TEST_F(ViewExtensionTest, ASnapshotShowsTheBoundsWithTheSubviewsAtTheBoundsSize)
{
    auto window = ui::Window::create({ 0, 0, 300, 300 });
    auto view = ui::makeView<Marked>({ 20, 20, 80, 60 });
    view->setBoundsOrigin({ -5, -5 }); // scrolled: the square sits 5 points in
    auto child = ui::makeView<Marked>({ 40, 30, 20, 20 });
    view->addSubview(child);
    window->contentView()->addSubview(view);

    auto image = X::imageWithSubviews(*view);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (gfx::Size { 80, 60 }));
    auto snapshot = image->CGImageForProposedRect();
    auto direct = backend->imageOfView(*view);
    ASSERT_TRUE(snapshot && direct);
    auto a = snapshot->pixelBuffer(), b = direct->pixelBuffer();
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    int differing = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    EXPECT_EQ(differing, 0) << "the snapshot is the view as drawn";
    EXPECT_EQ(gfx::greenOf(a.pixel(7, a.height - 1 - 7)), 0) << "the view's own square, 5 points in";
    EXPECT_EQ(gfx::greenOf(a.pixel(50, a.height - 1 - 40)), 0) << "the subview's square";
}

class HookedOverlay : public View, public X::OverlayView {
public:
    void viewWillBecomeOverlay() override { log += superview() ? "!" : "will "; }
    void viewDidBecomeOverlay() override { log += superview() ? "did " : "!"; }
    void viewWillResignOverlay() override { log += "willResign "; }
    void viewDidResignOverlay() override { log += "didResign "; }
    std::string log;
};

TEST_F(ViewExtensionTest, OverlaysFadeInBesideTheViewAndFadeOutBeforeTheyGo)
{
    auto parent = View::create({ 0, 0, 200, 200 });
    auto a = named(1), b = named(2);
    parent->addSubview(a);
    parent->addSubview(b);
    auto above = fnd::makeObject<HookedOverlay>();
    X::addOverlayView(*a, above, ui::WindowOrderingMode::Above);
    EXPECT_EQ(parent->subviews()[1], above);
    EXPECT_EQ(above->log, "will did ");
    EXPECT_EQ(above->alphaValue(), 0);
    runFor(0.25);
    EXPECT_GT(above->alphaValue(), 0);
    EXPECT_LT(above->alphaValue(), 1);
    runFor(0.5);
    EXPECT_EQ(above->alphaValue(), 1);

    auto below = View::create();
    X::addOverlayView(*a, below, ui::WindowOrderingMode::Below, true);
    EXPECT_EQ(parent->subviews()[0], below);
    EXPECT_EQ(X::adjustedFrameForOverlay(*a, *below), below->frame());

    X::removeOverlayView(*a, above);
    EXPECT_EQ(above->log, "will did willResign didResign ");
    runFor(0.25);
    EXPECT_EQ(above->superview(), parent) << "still there while it fades";
    runFor(0.5);
    EXPECT_EQ(above->superview(), nullptr);
    EXPECT_EQ(parent->subviews().size(), 3u);

    // Beside a view without a superview there is no place for an overlay: it stays out of every tree.
    auto stray = fnd::makeObject<HookedOverlay>();
    X::addOverlayView(*parent, stray, ui::WindowOrderingMode::Above);
    EXPECT_EQ(stray->superview(), nullptr);
    EXPECT_EQ(parent->superview(), nullptr);
    EXPECT_EQ(parent->subviews().size(), 3u);
}

}
