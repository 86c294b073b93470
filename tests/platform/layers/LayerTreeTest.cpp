#include "LayerTestSupport.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/TextLayer.h"
#include "support/Waiting.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <thread>

using namespace ui;

namespace {

std::vector<std::shared_ptr<Layer>> named(std::initializer_list<const char*> names)
{
    std::vector<std::shared_ptr<Layer>> layers;
    for (auto* n : names) {
        layers.push_back(Layer::layer());
        layers.back()->setName(n);
    }
    return layers;
}

std::string order(const Layer& layer)
{
    std::string s;
    for (const auto& sub : layer.sublayers())
        s += sub->name().utf8();
    return s;
}

// Draws through the delegate, or sets the contents itself when asked to.
class Painter : public LayerDelegate {
public:
    bool displayLayer(Layer& layer) override
    {
        if (!takesOver)
            return false;
        layer.setContents(layerstest::solidImage(1, 1, 0xFF0000FF));
        return true;
    }
    void drawLayerInContext(Layer& layer, gfx::GraphicsContext& context) override
    {
        ++draws;
        context.setFillColor(*gfx::Color::colorWithCalibratedRed(1, 0, 0, 1));
        context.fillRect(layer.bounds());
    }
    bool takesOver { false };
    int draws { 0 };
};

class Host : public LayerHost {
public:
    void layerTreeNeedsDisplay() override { ++requests; }
    int requests { 0 };
};

// Counts the times it is taken out of its superlayer, however that is reached.
class LeavingLayer : public Layer {
public:
    void removeFromSuperlayer() override
    {
        ++removals;
        Layer::removeFromSuperlayer();
    }
    int removals { 0 };
};

// Notes the thread it is destroyed on.
class ThreadNote : public fnd::Object {
    FND_OBJECT(ThreadNote)
    static void describeClass(fnd::ClassBuilder<ThreadNote>&) { }

public:
    ~ThreadNote() override
    {
        if (destroyedOn)
            *destroyedOn = std::this_thread::get_id();
    }
    std::shared_ptr<std::optional<std::thread::id>> destroyedOn;
};
FND_REGISTER_CLASS(ThreadNote, fnd::Object)

class LayerTreeTest : public layerstest::LayerTest { };

}

TEST_F(LayerTreeTest, SublayersAreInsertedMovedAndReplacedInOrder)
{
    auto root = Layer::layer();
    auto l = named({ "a", "b", "c", "d", "e" });
    root->addSublayer(l[0]);
    root->addSublayer(l[1]);
    root->insertSublayer(l[2], 0);
    root->insertSublayer(l[3], 99);
    EXPECT_EQ(order(*root), "cabd");
    root->insertSublayerBelow(l[4], l[0].get());
    EXPECT_EQ(order(*root), "ceabd");
    root->insertSublayerAbove(l[2], l[1].get());
    EXPECT_EQ(order(*root), "eabcd") << "moving within the same superlayer";
    root->replaceSublayer(*l[1], l[2]);
    EXPECT_EQ(order(*root), "eacd");
    EXPECT_EQ(l[1]->superlayer(), nullptr);
    EXPECT_EQ(l[2]->superlayer(), root);
    // A layer moved to another superlayer leaves the first one.
    l[0]->addSublayer(l[3]);
    EXPECT_EQ(order(*root), "eac");
    EXPECT_EQ(order(*l[0]), "d");
    // A layer never becomes its own ancestor.
    std::vector<fnd::String> logged;
    auto previous = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& m) { logged.push_back(m); });
    l[3]->addSublayer(root);
    l[3]->addSublayer(l[3]);
    fnd::setLogSink(previous);
    EXPECT_EQ(logged.size(), 2u);
    EXPECT_EQ(root->superlayer(), nullptr);
    root->setSublayers({ l[1] });
    EXPECT_EQ(order(*root), "b");
    EXPECT_EQ(l[0]->superlayer(), nullptr);

    // A subclass hears of its removal through a base reference and from its superlayer's own operations.
    auto leaving = std::make_shared<LeavingLayer>();
    root->addSublayer(leaving);
    std::shared_ptr<Layer> base = leaving;
    base->removeFromSuperlayer();
    root->addSublayer(leaving);
    root->setSublayers({ l[1] });
    root->addSublayer(leaving);
    root->replaceSublayer(*leaving, l[0]);
    EXPECT_EQ(leaving->removals, 3);
    EXPECT_EQ(leaving->superlayer(), nullptr);
}

// An opacity that is not a number is ignored: std::clamp let it through into the model layer, and NaN drew nothing.
TEST_F(LayerTreeTest, OpacitiesThatAreNoNumbersAreIgnored)
{
    auto layer = Layer::layer();
    layer->setOpacity(0.5);
    layer->setShadowOpacity(0.25);
    layer->setOpacity(std::numeric_limits<double>::quiet_NaN());
    layer->setShadowOpacity(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(layer->opacity(), 0.5);
    EXPECT_EQ(layer->shadowOpacity(), 0.25);
    layer->setOpacity(3);
    EXPECT_EQ(layer->opacity(), 1) << "still kept within 0 to 1";
}

TEST_F(LayerTreeTest, DisplayDrawsTheBoundsIntoTheContentsWhenAsked)
{
    auto layer = Layer::layer();
    auto painter = std::make_shared<Painter>();
    layer->setDelegate(painter);
    layer->setBounds({ 0, 0, 20, 10 });
    layer->displayIfNeeded();
    EXPECT_EQ(painter->draws, 0) << "nothing asked for a drawing";
    layer->setNeedsDisplay();
    layer->setContentsScale(2);
    layer->displayIfNeeded();
    EXPECT_EQ(painter->draws, 1);
    auto contents = layer->contents();
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->pixelsWide(), 40);
    EXPECT_EQ(contents->pixelsHigh(), 20);
    EXPECT_EQ(layerstest::rgbaAt(*contents, 39, 19), (std::array<int, 4> { 255, 0, 0, 255 }));
    layer->displayIfNeeded();
    EXPECT_EQ(painter->draws, 1);
    // A new size redraws only when the layer asks for it.
    layer->setBounds({ 0, 0, 30, 10 });
    EXPECT_FALSE(layer->needsDisplay());
    layer->setNeedsDisplayOnBoundsChange(true);
    layer->setBounds({ 0, 0, 40, 10 });
    EXPECT_TRUE(layer->needsDisplay());
    // A delegate may set the contents itself.
    painter->takesOver = true;
    layer->displayIfNeeded();
    EXPECT_EQ(painter->draws, 1);
    EXPECT_EQ(layer->contents()->pixelsWide(), 1);
    // Text layers redraw for their own keys.
    auto text = TextLayer::layer();
    text->setBounds({ 0, 0, 10, 10 });
    text->displayIfNeeded();
    text->setForegroundColor(layerstest::rgb(1, 0, 0));
    EXPECT_TRUE(text->needsDisplay());
    // The presentation tree is kept while nothing changes (making its copies changes nothing).
    layer->addSublayer(text);
    auto shown = layer->presentationLayer();
    EXPECT_EQ(layer->presentationLayer(), shown);
    text->setString(fnd::String("x"));
    EXPECT_NE(layer->presentationLayer(), shown);
}

TEST_F(LayerTreeTest, TransitionsBringLayersInAndAnimationsTimeTheirFill)
{
    auto root = Layer::layer();
    root->setFrame({ 0, 0, 100, 100 });
    auto parked = Layer::layer();
    root->addSublayer(parked);
    // A hosted root is a shown tree: layers entering it run their order-in actions.
    auto host = std::make_shared<Host>();
    root->setHost(host);
    commit();
    EXPECT_GT(host->requests, 0);
    // Appearing with a fade, or sliding in from the right by the layer's width.
    auto fade = std::make_shared<Transition>();
    fade->setDuration(1);
    fade->setTimingFunction(MediaTimingFunction::functionWithName(MediaTimingFunctionName::Linear));
    auto slide = std::static_pointer_cast<Transition>(fade->copy());
    slide->setType(TransitionType::MoveIn);
    slide->setSubtype(TransitionSubtype::FromRight);
    auto faded = Layer::layer();
    faded->setActions({ { LayerActionKey::OnOrderIn, fnd::Value(fade) } });
    auto slid = Layer::layer();
    slid->setFrame({ 0, 0, 40, 40 });
    slid->setActions({ { LayerActionKey::OnOrderIn, fnd::Value(slide) } });
    root->addSublayer(faded);
    root->addSublayer(slid);
    advance(0.25);
    EXPECT_NEAR(faded->presentationLayer()->opacity(), 0.25, 1e-9);
    EXPECT_NEAR(slid->presentationLayer()->position().x, 20 + 0.75 * 40, 1e-9);
    // Moving a layer to another superlayer is not leaving the tree: no order-out runs.
    auto away = std::make_shared<Transition>();
    parked->setActions({ { LayerActionKey::OnOrderOut, fnd::Value(away) } });
    faded->addSublayer(parked);
    EXPECT_EQ(root->presentationLayer()->sublayers().size(), 2u);

    // Fill modes: an animation that is kept after its end shows its end value with forwards fill, and the model
    // without; one that starts later shows its start value before it with backwards fill.
    auto late = BasicAnimation::animationWithKeyPath("zPosition");
    late->setFromValue(10.0);
    late->setToValue(20.0);
    late->setDuration(1);
    late->setBeginTime(now() + 1);
    late->setRemovedOnCompletion(false);
    parked->addAnimation(late, "late");
    EXPECT_EQ(parked->presentationLayer()->zPosition(), 0);
    late->setFillMode(FillMode::Both);
    parked->addAnimation(late, "late");
    EXPECT_EQ(parked->presentationLayer()->zPosition(), 10);
    runFor(3);
    EXPECT_EQ(parked->presentationLayer()->zPosition(), 20);
    ASSERT_TRUE(parked->animationForKey("late"));
    late->setFillMode(FillMode::Removed);
    parked->addAnimation(late, "late");
    runFor(3);
    EXPECT_EQ(parked->presentationLayer()->zPosition(), 0);
    EXPECT_TRUE(parked->animationForKey("late")) << "kept, showing nothing";
}

// Many layers come or leave in one pass over the list: each lands at its place, the others keep their order, each
// hears of its removal once and runs its order-out action, and many that left are let go without holding the caller.
TEST_F(LayerTreeTest, ManySublayersComeAndLeaveAtOnce)
{
    auto root = Layer::layer();
    auto l = named({ "a", "b", "c", "d", "e", "f" });
    root->setSublayers({ l[0], l[1], l[2] });
    // Places in the new list (past its end appends); a layer already there moves, one given twice comes once.
    root->insertSublayers({ l[3], l[4], l[0], l[3] }, { 0, 2, 9, 1 });
    EXPECT_EQ(order(*root), "dbeca");
    EXPECT_EQ(l[3]->superlayer(), root);
    // Its own ancestor is refused, with the others still coming.
    std::vector<fnd::String> logged;
    auto previous = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& m) { logged.push_back(m); });
    l[2]->insertSublayers({ root, l[5] }, { 0, 0 });
    fnd::setLogSink(previous);
    EXPECT_EQ(logged.size(), 1u);
    EXPECT_EQ(order(*l[2]), "f");
    // Layers that are not sublayers (any more) are passed over.
    auto leaving = std::make_shared<LeavingLayer>();
    leaving->setName("x");
    root->addSublayer(leaving);
    root->removeSublayers({ l[1], l[5], leaving, l[1], l[4] });
    EXPECT_EQ(order(*root), "dca");
    EXPECT_EQ(leaving->removals, 1) << "a subclass hears of it once";
    for (const Layer* gone : { l[1].get(), l[4].get(), static_cast<Layer*>(leaving.get()) })
        EXPECT_EQ(gone->superlayer(), nullptr);
    EXPECT_EQ(l[5]->superlayer(), l[2]);

    // In a shown tree, the ones with an order-out transition are drawn at their places until it ends.
    root->setFrame({ 0, 0, 100, 100 });
    root->setHost(std::make_shared<Host>());
    auto fade = std::make_shared<Transition>();
    fade->setDuration(1);
    l[3]->setActions({ { LayerActionKey::OnOrderOut, fnd::Value(fade) } });
    l[0]->setActions({ { LayerActionKey::OnOrderOut, fnd::Value(fade) } });
    commit();
    root->removeSublayers({ l[0], l[3] });
    EXPECT_EQ(order(*root), "c");
    advance(0.5);
    std::string shown;
    for (const auto& sub : root->presentationLayer()->sublayers())
        shown += sub->name().utf8();
    EXPECT_EQ(shown, "dca");
    runFor(2);
    EXPECT_EQ(root->presentationLayer()->sublayers().size(), 1u);

    // Many layers that left are let go on another thread; what they hold for the main thread is let go here, after
    // them.
    auto row = Layer::layer();
    std::vector<std::shared_ptr<Layer>> many;
    std::vector<std::weak_ptr<Layer>> watched;
    for (std::size_t i = 0; i < Layer::ReleasedAtOnce * 2; ++i) {
        many.push_back(Layer::layer());
        many.back()->addSublayer(Layer::layer());
        watched.push_back(many.back());
        watched.push_back(many.back()->sublayers().front());
    }
    row->setSublayers(many);
    auto note = fnd::makeObject<ThreadNote>();
    auto destroyedOn = std::make_shared<std::optional<std::thread::id>>();
    note->destroyedOn = destroyedOn;
    many.front()->setValueForKey(fnd::Value(std::static_pointer_cast<fnd::Object>(note)), "held");
    row->removeSublayers(many);
    EXPECT_TRUE(row->sublayers().empty());
    Layer::release(std::move(many), { fnd::Value(std::static_pointer_cast<fnd::Object>(note)) });
    note.reset();
    EXPECT_TRUE(testsupport::runLoopUntil([&] {
        return std::all_of(watched.begin(), watched.end(), [](const auto& w) { return w.expired(); });
    })) << "layers that left are let go";
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return destroyedOn->has_value(); }));
    EXPECT_EQ(*destroyedOn, std::this_thread::get_id());
}
