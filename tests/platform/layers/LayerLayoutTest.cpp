#include "LayerTestSupport.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/layers/ConstraintLayoutManager.h"
#include "platform/layers/TextLayer.h"

#include <map>

using namespace ui;

namespace {

LayoutConstraint constraint(ConstraintAttribute attribute, const fnd::String& source, ConstraintAttribute from,
    double scale = 1, double offset = 0)
{
    return { attribute, source, from, scale, offset };
}

using A = ConstraintAttribute;

class Counter : public LayerDelegate {
public:
    void layoutSublayersOfLayer(Layer&) override { ++layouts; }
    int layouts { 0 };
};

class LayerLayoutTest : public layerstest::LayerTest { };

}

TEST_F(LayerLayoutTest, ConstraintsPlaceATitleAndAContainerBelowItInDependencyOrder)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 600, 400 });
    root->setLayoutManager(ConstraintLayoutManager::layoutManager());
    // The container is inserted first but depends on the title, which the manager solves first.
    auto container = Layer::layer();
    container->setName("container");
    container->setConstraints({
        constraint(A::MidX, ConstraintSuperlayerName, A::MidX),
        constraint(A::MaxY, ConstraintSuperlayerName, A::MaxY),
        constraint(A::Width, ConstraintSuperlayerName, A::Width),
        constraint(A::MinY, "title", A::MaxY),
    });
    auto title = TextLayer::layer();
    title->setName("title");
    title->setString(fnd::String("Pictures"));
    title->setFontSize(18);
    // A text layer is not sized to its string by itself; the caller gives it its preferred size.
    const auto preferred = title->preferredFrameSize();
    EXPECT_GT(preferred.width, 40);
    EXPECT_GT(preferred.height, 18);
    title->setBounds({ 0, 0, preferred.width, preferred.height });
    title->setConstraints({
        constraint(A::MinY, ConstraintSuperlayerName, A::MinY, 1, 50),
        constraint(A::MidX, ConstraintSuperlayerName, A::MidX),
    });
    auto bar = Layer::layer();
    bar->setFrame({ 0, 0, 20, 20 });
    bar->setConstraints({
        constraint(A::MidX, ConstraintSuperlayerName, A::MidX),
        constraint(A::MinY, ConstraintSuperlayerName, A::MinY, 1, 10),
        constraint(A::Width, ConstraintSuperlayerName, A::Width, 0.75),
    });
    root->addSublayer(container);
    root->addSublayer(title);
    root->addSublayer(bar);
    root->layoutIfNeeded();

    EXPECT_EQ(title->frame(), gfx::Rect(300 - preferred.width / 2, 50, preferred.width, preferred.height));
    EXPECT_EQ(container->frame(), gfx::Rect(0, 50 + preferred.height, 600, 350 - preferred.height));
    EXPECT_EQ(bar->frame(), gfx::Rect(75, 10, 450, 20)) << "an unconstrained height keeps the bounds";

    // A new size of the superlayer lays everything out again.
    root->setBounds({ 0, 0, 800, 500 });
    EXPECT_TRUE(root->needsLayout());
    root->layoutIfNeeded();
    EXPECT_EQ(container->frame(), gfx::Rect(0, 50 + preferred.height, 800, 450 - preferred.height));
    EXPECT_EQ(bar->frame().width(), 600);
}

TEST_F(LayerLayoutTest, CircularConstraintsAreLoggedAndKeepTheFrames)
{
    std::vector<fnd::String> logged;
    auto previous = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& message) { logged.push_back(message); });
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 100, 100 });
    root->setLayoutManager(ConstraintLayoutManager::layoutManager());
    auto a = Layer::layer();
    a->setName("a");
    a->setFrame({ 1, 2, 3, 4 });
    a->setConstraints({ constraint(A::MinX, "b", A::MaxX) });
    auto b = Layer::layer();
    b->setName("b");
    b->setFrame({ 5, 6, 7, 8 });
    b->setConstraints({ constraint(A::MinX, "a", A::MaxX), constraint(A::Width, "nobody", A::Width) });
    root->addSublayer(a);
    root->addSublayer(b);
    root->layoutIfNeeded();
    fnd::setLogSink(previous);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].utf8().find("\"a\""), std::string::npos) << logged[0].utf8();
    // b follows a as a stands (a keeps its frame); a then follows b's new frame.
    EXPECT_EQ(b->frame(), gfx::Rect(4, 6, 7, 8));
    EXPECT_EQ(a->frame(), gfx::Rect(11, 2, 3, 4));
}

TEST_F(LayerLayoutTest, AutoresizingFollowsTheSuperlayerAndLayoutGoesToTheManagerOrTheDelegate)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 200, 100 });
    auto fill = Layer::layer();
    fill->setFrame({ 10, 10, 180, 80 });
    fill->setAutoresizingMask(LayerAutoresizingMask::WidthSizable | LayerAutoresizingMask::HeightSizable);
    auto corner = Layer::layer();
    corner->setFrame({ 170, 70, 20, 20 });
    corner->setAutoresizingMask(LayerAutoresizingMask::MinXMargin | LayerAutoresizingMask::MinYMargin);
    root->addSublayer(fill);
    root->addSublayer(corner);
    root->setBounds({ 0, 0, 300, 150 });
    EXPECT_EQ(fill->frame(), gfx::Rect(10, 10, 280, 130));
    EXPECT_EQ(corner->frame(), gfx::Rect(270, 120, 20, 20));
    // Margins count from a scrolled bounds origin.
    root->setBounds({ 1000, 0, 300, 150 });
    fill->setFrame({ 1010, 10, 280, 130 });
    root->setBounds({ 1000, 0, 400, 150 });
    EXPECT_EQ(fill->frame(), gfx::Rect(1010, 10, 380, 130));

    auto counter = std::make_shared<Counter>();
    root->setDelegate(counter);
    root->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 1);
    root->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 1) << "nothing changed";
    root->setNeedsLayout();
    fill->setNeedsLayout();
    auto fillCounter = std::make_shared<Counter>();
    fill->setDelegate(fillCounter);
    root->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 2);
    EXPECT_EQ(fillCounter->layouts, 1) << "sublayers are laid out too";
    // A layout manager wins over the delegate.
    root->setLayoutManager(ConstraintLayoutManager::layoutManager());
    root->layoutIfNeeded();
    EXPECT_EQ(counter->layouts, 2);
    // The outermost commit on the main thread lays out what needs it.
    fill->setBounds({ 0, 0, 10, 10 });
    EXPECT_TRUE(fill->needsLayout());
    commit();
    EXPECT_FALSE(fill->needsLayout());
    EXPECT_EQ(fillCounter->layouts, 2);
}

// layoutIfNeeded lays out every layer below that asked, however deep and however it joined the tree, and no other: a
// layer of thousands of sublayers that need nothing is not walked for the one that does.
TEST_F(LayerLayoutTest, LayoutIfNeededReachesEveryLayerBelowThatAskedAndNoOther)
{
    auto root = Layer::layer();
    auto middle = Layer::layer();
    auto deep = Layer::layer();
    auto sibling = Layer::layer();
    root->addSublayer(middle);
    middle->addSublayer(deep);
    root->addSublayer(sibling);
    std::map<std::string, std::shared_ptr<Counter>> counters;
    for (auto [name, layer] :
        { std::pair { "root", root }, { "middle", middle }, { "deep", deep }, { "sibling", sibling } }) {
        counters[name] = std::make_shared<Counter>();
        layer->setDelegate(counters[name]);
    }
    auto layouts = [&] {
        std::string text;
        for (const auto& [name, counter] : counters)
            text += name + " " + std::to_string(counter->layouts) + " ";
        return text;
    };
    root->layoutIfNeeded();
    EXPECT_EQ(layouts(), "deep 0 middle 1 root 1 sibling 0 ") << "the layers that took sublayers";

    deep->setNeedsLayout();
    root->layoutIfNeeded();
    EXPECT_EQ(layouts(), "deep 1 middle 1 root 1 sibling 0 ");

    // A layer that asked before it joined is laid out through its new superlayer, which asked by taking it.
    auto late = Layer::layer();
    counters["late"] = std::make_shared<Counter>();
    late->setDelegate(counters["late"]);
    late->setNeedsLayout();
    deep->addSublayer(late);
    root->layoutIfNeeded();
    EXPECT_EQ(layouts(), "deep 2 late 1 middle 1 root 1 sibling 0 ");

    // Laid out on its own at a commit, it is not laid out again from above.
    late->setNeedsLayout();
    commit();
    EXPECT_EQ(layouts(), "deep 2 late 2 middle 1 root 1 sibling 0 ");
    root->layoutIfNeeded();
    EXPECT_EQ(layouts(), "deep 2 late 2 middle 1 root 1 sibling 0 ");
}
