#include "LayerTestSupport.h"

#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/LayerAnimation.h"
#include "platform/layers/LayerRenderer.h"

#include <thread>

using namespace ui;

namespace {

// Draws its "level" key, which redraws it, and records every level it drew.
class LevelLayer : public Layer {
    UI_LAYER_OBJECT(LevelLayer)
public:
    bool needsDisplayForKey(const fnd::String& key) const override
    {
        return key == "level" || Layer::needsDisplayForKey(key);
    }
    void drawInContext(gfx::GraphicsContext&) override
    {
        auto drawn = modelLayer();
        auto* model = dynamic_cast<LevelLayer*>(drawn.get());
        (model ? model : this)->levels.push_back(valueForKey("level").doubleValue());
    }
    std::vector<double> levels;
};

FND_REGISTER_CLASS(LevelLayer, Layer)

class Recorder : public LayerAnimationDelegate {
public:
    void animationDidStart(LayerAnimation&) override { events.push_back("start"); }
    void animationDidStop(LayerAnimation&, bool finished) override { events.push_back(finished ? "end" : "stop"); }
    std::vector<std::string> events;
};

class Observer : public fnd::Object {
public:
    void observeValueForKeyPath(
        const fnd::String& keyPath, fnd::Object&, const fnd::KeyValueChange& change, const void*) override
    {
        seen.push_back(keyPath.utf8() + "=" + change.newValue.description().utf8());
    }
    std::vector<std::string> seen;
};

class LayerAnimationTest : public layerstest::LayerTest {
protected:
    void SetUp() override
    {
        root = Layer::layer();
        root->setFrame({ 0, 0, 400, 300 });
        layer = Layer::layer();
        layer->setFrame({ 0, 0, 50, 50 });
        root->addSublayer(layer);
        commit();
    }

    gfx::Point shownPosition() const { return layer->presentationLayer()->position(); }
    double shownOpacity() const { return layer->presentationLayer()->opacity(); }

    static std::shared_ptr<MediaTimingFunction> linear()
    {
        return MediaTimingFunction::functionWithName(MediaTimingFunctionName::Linear);
    }

    std::shared_ptr<Layer> root, layer;
};

}

TEST_F(LayerAnimationTest, ImplicitChangesMoveOnTheClockWithTheTransactionsTiming)
{
    {
        TransactionScope transaction;
        Transaction::setAnimationDuration(1);
        Transaction::setAnimationTimingFunction(linear());
        layer->setPosition({ 125, 25 });
    }
    // The model has the new value at once; the presentation starts where the layer was.
    EXPECT_EQ(layer->position(), gfx::Point(125, 25));
    EXPECT_EQ(shownPosition(), gfx::Point(25, 25));
    advance(0.25);
    EXPECT_NEAR(shownPosition().x, 50, 1e-9);
    advance(0.5);
    EXPECT_NEAR(shownPosition().x, 100, 1e-9);

    // Ease in and out over 2 s: a quarter of the time shows 12.9% of the change.
    {
        TransactionScope transaction;
        Transaction::setAnimationDuration(2);
        Transaction::setAnimationTimingFunction(
            MediaTimingFunction::functionWithName(MediaTimingFunctionName::EaseInEaseOut));
        layer->setOpacity(0);
    }
    advance(0.5);
    EXPECT_NEAR(shownOpacity(), 1 - 0.1291619, 1e-6);

    // Outside any transaction: 0.25 s on the default curve, which is at 80.2% halfway.
    runFor(3);
    layer->setZPosition(10);
    advance(0.125);
    EXPECT_NEAR(layer->presentationLayer()->zPosition(), 8.024034, 1e-5);
    runFor(0.2);
    EXPECT_EQ(layer->presentationLayer()->zPosition(), 10);
    EXPECT_TRUE(layer->animationKeys().empty()) << "removed when done";
}

TEST_F(LayerAnimationTest, ARetargetedChangeStartsFromWhatIsShown)
{
    Transaction::setAnimationDuration(1);
    Transaction::setAnimationTimingFunction(linear());
    layer->setPosition({ 125, 25 });
    advance(0.5);
    EXPECT_NEAR(shownPosition().x, 75, 1e-9);
    layer->setPosition({ 25, 25 });
    EXPECT_NEAR(shownPosition().x, 75, 1e-9) << "no jump";
    advance(0.5);
    EXPECT_NEAR(shownPosition().x, 50, 1e-9);
    EXPECT_EQ(layer->animationKeys(), std::vector<fnd::String> { "position" }) << "the new one replaced the old";
}

TEST_F(LayerAnimationTest, DisabledActionsChangeAtOnceAndCancelWhatActionsStarted)
{
    auto recorder = std::make_shared<Recorder>();
    auto slide = BasicAnimation::animationWithKeyPath("position");
    slide->setDuration(1);
    slide->setDelegate(recorder);
    layer->setActions({ { "position", fnd::Value(slide) }, { "opacity", fnd::Null {} } });

    layer->setPosition({ 125, 25 });
    advance(0.5);
    EXPECT_GT(shownPosition().x, 25);
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        layer->setPosition({ 225, 25 });
    }
    EXPECT_EQ(shownPosition(), gfx::Point(225, 25));
    EXPECT_TRUE(layer->animationKeys().empty());
    runFor(0.1);
    EXPECT_EQ(recorder->events, (std::vector<std::string> { "stop" })) << "stopped before it started a frame";
    // A Null action is no action.
    layer->setOpacity(0.25);
    EXPECT_EQ(shownOpacity(), 0.25);
    // A layer inserted in the open transaction takes its values at once.
    auto fresh = Layer::layer();
    root->addSublayer(fresh);
    fresh->setPosition({ 300, 300 });
    EXPECT_EQ(fresh->presentationLayer()->position(), gfx::Point(300, 300));
    commit();
    fresh->setPosition({ 0, 0 });
    EXPECT_EQ(fresh->presentationLayer()->position(), gfx::Point(300, 300)) << "committed: now it animates";
}

TEST_F(LayerAnimationTest, ExplicitAnimationsRunOnAnyKeyAndAreNotCancelledByASet)
{
    auto levels = std::make_shared<LevelLayer>();
    root->addSublayer(levels);
    commit();
    auto pulse = BasicAnimation::animationWithKeyPath("level");
    pulse->setFromValue(0.0);
    pulse->setToValue(1.0);
    pulse->setDuration(1);
    pulse->setAutoreverses(true);
    pulse->setRepeatCount(2);
    levels->addAnimation(pulse, "pulse");
    // The model is set after the animation is added, as callers do; the animation goes on.
    levels->setValueForKey(7.0, "level");
    auto shown = [&] { return levels->presentationLayer()->valueForKey("level").doubleValue(); };
    struct Moment {
        double after;
        double level;
    };
    // Up, down, up, down: two passes of two seconds each.
    const Moment moments[] = { { 0.25, 0.25 }, { 1.25, 0.5 }, { 0.75, 0.25 }, { 1.0, 0.75 } };
    for (const auto& m : moments) {
        runFor(m.after);
        EXPECT_NEAR(shown(), m.level, 1e-9) << "at " << now();
    }
    runFor(1);
    EXPECT_EQ(shown(), 7) << "after four seconds the model value shows";
    EXPECT_EQ(levels->animationForKey("pulse"), nullptr);

    // Drawing follows the animated key: the presentation copy draws itself with the value of the moment.
    auto forever = BasicAnimation::animationWithKeyPath("level");
    forever->setFromValue(2.0);
    forever->setToValue(4.0);
    forever->setDuration(1);
    forever->setRepeatCount(RepeatForever);
    levels->setBounds({ 0, 0, 10, 10 });
    levels->addAnimation(forever, "forever");
    runFor(10.5);
    levels->levels.clear();
    renderLayerTreeToBitmap(*root, { 0, 0, 10, 10 });
    ASSERT_FALSE(levels->levels.empty());
    EXPECT_NEAR(levels->levels.back(), 3, 0.05) << "halfway through a pass";
    EXPECT_NE(levels->animationForKey("forever"), nullptr) << "still running";
}

TEST_F(LayerAnimationTest, DelegatesAndCompletionsHearOnce)
{
    auto recorder = std::make_shared<Recorder>();
    int completions = 0;
    {
        TransactionScope transaction;
        Transaction::setCompletionBlock([&] { ++completions; });
        auto fade = BasicAnimation::animationWithKeyPath("opacity");
        fade->setToValue(0.0);
        fade->setDuration(0.5);
        fade->setDelegate(recorder);
        layer->addAnimation(fade, "fade");
        {
            TransactionScope inner;
            Transaction::setAnimationDuration(1);
            layer->setPosition({ 60, 60 });
        }
    }
    EXPECT_EQ(completions, 0);
    runFor(0.6);
    EXPECT_EQ(recorder->events, (std::vector<std::string> { "start", "end" }));
    EXPECT_EQ(completions, 0) << "the nested transaction's move still runs";
    runFor(0.5);
    EXPECT_EQ(completions, 1);
    runFor(2);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(recorder->events.size(), 2u);

    // Without animations the completion runs at the commit.
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        Transaction::setCompletionBlock([&] { ++completions; });
        layer->setPosition({ 0, 0 });
    }
    EXPECT_EQ(completions, 2);

    // Removing an animation stops it (not finished) and completes its transaction.
    {
        TransactionScope transaction;
        Transaction::setCompletionBlock([&] { ++completions; });
        auto spin = BasicAnimation::animationWithKeyPath("transform");
        spin->setToValue(fnd::toValue(Transform3D::rotation(1, 0, 0, 1)));
        spin->setDuration(10);
        spin->setDelegate(recorder);
        layer->addAnimation(spin, "spin");
    }
    runFor(0.1);
    layer->removeAnimationForKey("spin");
    EXPECT_EQ(completions, 3);
    EXPECT_EQ(recorder->events.back(), "stop");
}

TEST_F(LayerAnimationTest, OrderOutTransitionsKeepALeavingLayerFadingWhereItWas)
{
    auto fade = std::make_shared<Transition>();
    fade->setType(TransitionType::Fade);
    fade->setDuration(0.5);
    fade->setTimingFunction(linear());
    layer->setActions({ { LayerActionKey::OnOrderOut, fnd::Value(fade) } });
    layer->setOpacity(0.8);
    runFor(1);
    layer->removeFromSuperlayer();
    EXPECT_TRUE(root->sublayers().empty());
    advance(0.25);
    auto shown = root->presentationLayer()->sublayers();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->modelLayer(), layer);
    EXPECT_NEAR(shown[0]->opacity(), 0.4, 1e-9);
    runFor(0.5);
    EXPECT_TRUE(root->presentationLayer()->sublayers().empty());

    // Put back before its transition ends, the layer stops leaving, and the transaction waiting for it completes.
    root->addSublayer(layer);
    commit();
    int completions = 0;
    {
        TransactionScope transaction;
        Transaction::setCompletionBlock([&] { ++completions; });
        layer->removeFromSuperlayer();
    }
    advance(0.1);
    EXPECT_EQ(completions, 0);
    root->addSublayer(layer);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(root->presentationLayer()->sublayers().size(), 1u);
}

TEST_F(LayerAnimationTest, LayersChangeSafelyFromOtherThreads)
{
    auto image = layerstest::solidImage(4, 4, 0xFF00FF00);
    std::thread worker([&] {
        for (int i = 0; i <= 200; ++i) {
            layer->setPosition({ double(i), 0 });
            layer->setContents(image);
            layer->setValueForKey(i, "step");
        }
    });
    for (int i = 0; i < 200; ++i) {
        auto shown = root->presentationLayer();
        ASSERT_TRUE(shown);
        renderLayerTreeToBitmap(*root, { 0, 0, 20, 20 });
    }
    worker.join();
    runFor(1);
    EXPECT_EQ(layer->presentationLayer()->position(), gfx::Point(200, 0));
    EXPECT_EQ(layer->valueForKey("step").integerValue(), 200);
    EXPECT_EQ(layer->contents(), image);
}

TEST_F(LayerAnimationTest, TheValueBagTakesAnyKeyAndKeysAreObservable)
{
    EXPECT_TRUE(layer->valueForKey("representedObject").isNil()) << "an unknown key reads as nil, never raises";
    layer->setValueForKey(fnd::String("card"), "representedObject");
    layer->setValueForKey(3, "index");
    EXPECT_EQ(layer->valueForKey("index").integerValue(), 3);
    EXPECT_EQ(layer->presentationLayer()->valueForKey("representedObject"), fnd::Value(fnd::String("card")));
    // Bag keys animate like declared numbers when an animation names them.
    auto grow = BasicAnimation::animationWithKeyPath("index");
    grow->setToValue(5);
    grow->setDuration(1);
    layer->addAnimation(grow, "grow");
    advance(0.5);
    EXPECT_NEAR(layer->presentationLayer()->valueForKey("index").doubleValue(), 4, 1e-9);

    auto observer = std::make_shared<Observer>();
    layer->addObserver(*observer, "hidden", fnd::KeyValueObservingOptions::New);
    layer->setHidden(true);
    layer->setHidden(true);
    layer->setValueForKey(false, "hidden");
    layer->removeObserver(*observer, "hidden");
    EXPECT_EQ(observer->seen, (std::vector<std::string> { "hidden=1", "hidden=0" }));

    // The transaction's duration can be given by key, as a single-precision number.
    Transaction::setValueForKey(2.1f, TransactionKey::AnimationDuration);
    EXPECT_NEAR(Transaction::animationDuration(), 2.1, 1e-6);
    EXPECT_NEAR(Transaction::valueForKey(TransactionKey::AnimationDuration).doubleValue(), 2.1, 1e-6);
    commit();
    EXPECT_EQ(Transaction::animationDuration(), 0.25) << "the implicit transaction ended";
}

// The presentation tree is brought up to date in place from frame to frame, but a copy someone holds keeps the
// moment it showed, and copies follow their models' later changes.
TEST_F(LayerAnimationTest, PresentationCopiesHeldByCallersKeepTheirMoment)
{
    {
        TransactionScope transaction;
        Transaction::setAnimationDuration(1);
        Transaction::setAnimationTimingFunction(linear());
        layer->setPosition({ 125, 25 });
    }
    advance(0.5);
    auto held = layer->presentationLayer();
    ASSERT_TRUE(held);
    EXPECT_NEAR(held->position().x, 75, 1e-9);
    advance(0.25);
    EXPECT_NEAR(shownPosition().x, 100, 1e-9);
    EXPECT_NEAR(held->position().x, 75, 1e-9) << "the held copy";
    held.reset();
    runFor(1);
    EXPECT_EQ(shownPosition(), gfx::Point(125, 25));
    // A change without an animation shows at once in the next copy, and a sublayer added later has one.
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        layer->setOpacity(0.5);
        auto child = Layer::layer();
        child->setFrame({ 1, 2, 3, 4 });
        layer->addSublayer(child);
    }
    EXPECT_EQ(shownOpacity(), 0.5);
    ASSERT_EQ(layer->presentationLayer()->sublayers().size(), 1u);
    EXPECT_EQ(layer->presentationLayer()->sublayers()[0]->frame(), gfx::Rect(1, 2, 3, 4));
    EXPECT_EQ(layer->presentationLayer()->sublayers()[0]->superlayer(), layer->presentationLayer());
}

// Frames leave a hidden layer's copy unread while it stays as it is; what is asked of it (or below it) is still up to
// date, and it shows again, as it now is, once unhidden.
TEST_F(LayerAnimationTest, HiddenLayersCopiesStayCurrentWhereAskedAndShowAgainWhenUnhidden)
{
    auto child = Layer::layer();
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        layer->setBackgroundColor(layerstest::rgb(1, 0, 0));
        child->setFrame({ 10, 10, 20, 20 });
        child->setBackgroundColor(layerstest::rgb(0, 0, 1));
        layer->addSublayer(child);
        layer->setHidden(true);
    }
    auto frame = [&] { return renderLayerTreeToBitmap(*root, root->bounds()); };
    EXPECT_EQ(layerstest::rgbaAt(*frame(), 20, 20)[3], 0) << "hidden with what is below it";
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        child->setOpacity(0.5);
        root->setOpacity(0.9); // the root's copy is brought up to date, the hidden layer's is kept
    }
    EXPECT_EQ(layerstest::rgbaAt(*frame(), 20, 20)[3], 0);
    ASSERT_TRUE(child->presentationLayer());
    EXPECT_EQ(child->presentationLayer()->opacity(), 0.5);
    EXPECT_EQ(child->presentationLayer()->superlayer(), layer->presentationLayer());
    EXPECT_TRUE(layer->presentationLayer()->isHidden());
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        child->setBackgroundColor(layerstest::rgb(0, 1, 0));
        layer->setHidden(false);
    }
    auto shown = frame();
    // Opacities multiply down the tree: red at 0.9, then green at 0.45 over it.
    EXPECT_TRUE(layerstest::near(layerstest::rgbaAt(*shown, 5, 5), { 230, 0, 0, 230 }));
    EXPECT_TRUE(layerstest::near(layerstest::rgbaAt(*shown, 20, 20), { 126, 115, 0, 241 }))
        << "green over red: " << layerstest::rgbaAt(*shown, 20, 20)[0] << " " << layerstest::rgbaAt(*shown, 20, 20)[1];
}

// A layer hidden from the start is copied for a frame without what lies below it, and keeps its copy while layers
// beside it come and go; what is asked below it, and what it shows once unhidden, is as it is now.
TEST_F(LayerAnimationTest, ALayerHiddenFromTheStartShowsWhatIsBelowItAsItIsNowWhenAskedOrShown)
{
    auto hidden = Layer::layer();
    auto child = Layer::layer();
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        hidden->setFrame({ 0, 0, 40, 40 });
        hidden->setHidden(true);
        child->setFrame({ 10, 10, 20, 20 });
        child->setBackgroundColor(layerstest::rgb(0, 0, 1));
        hidden->addSublayer(child);
        root->addSublayer(hidden);
    }
    auto frame = [&] { return renderLayerTreeToBitmap(*root, root->bounds()); };
    EXPECT_EQ(layerstest::rgbaAt(*frame(), 20, 20)[3], 0);
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        root->insertSublayer(Layer::layer(), 0);
        child->setOpacity(0.5);
    }
    EXPECT_EQ(layerstest::rgbaAt(*frame(), 20, 20)[3], 0);
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        root->sublayers().front()->removeFromSuperlayer();
        root->addSublayer(Layer::layer());
    }
    EXPECT_EQ(layerstest::rgbaAt(*frame(), 20, 20)[3], 0);
    ASSERT_TRUE(hidden->presentationLayer());
    EXPECT_EQ(hidden->presentationLayer()->frame(), gfx::Rect(0, 0, 40, 40)) << "the hidden layer's copy as it is";
    EXPECT_TRUE(hidden->presentationLayer()->isHidden());
    ASSERT_TRUE(child->presentationLayer());
    EXPECT_EQ(child->presentationLayer()->opacity(), 0.5);
    EXPECT_EQ(child->presentationLayer()->frame(), gfx::Rect(10, 10, 20, 20));
    EXPECT_EQ(child->presentationLayer()->superlayer(), hidden->presentationLayer());
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        hidden->setHidden(false);
    }
    EXPECT_TRUE(layerstest::near(layerstest::rgbaAt(*frame(), 20, 20), { 0, 0, 128, 128 }))
        << "half blue: " << layerstest::rgbaAt(*frame(), 20, 20)[2] << " " << layerstest::rgbaAt(*frame(), 20, 20)[3];
}

// A hidden layer copied for a frame is, asked for right after that frame, as the layer is.
TEST_F(LayerAnimationTest, AHiddenLayerAskedForAfterItsFirstFrameIsAsItIs)
{
    auto hidden = Layer::layer();
    {
        TransactionScope transaction;
        Transaction::setDisableActions(true);
        hidden->setFrame({ 5, 6, 7, 8 });
        hidden->setOpacity(0.25);
        hidden->setHidden(true);
        root->addSublayer(hidden);
    }
    (void)renderLayerTreeToBitmap(*root, root->bounds());
    auto shown = hidden->presentationLayer();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->frame(), gfx::Rect(5, 6, 7, 8));
    EXPECT_EQ(shown->opacity(), 0.25);
    EXPECT_TRUE(shown->isHidden());
    EXPECT_EQ(shown->modelLayer(), hidden);
}

// Hundreds of layers animating at once are stepped together and each leaves the driver when done; a layer animated
// again afterwards is stepped again.
TEST_F(LayerAnimationTest, ManyLayersAnimateTogetherAndEachFinishes)
{
    std::vector<std::shared_ptr<Layer>> layers;
    for (int i = 0; i < 400; ++i) {
        auto l = Layer::layer();
        l->setFrame({ 0, 0, 10, 10 });
        root->addSublayer(l);
        layers.push_back(l);
    }
    commit();
    {
        TransactionScope transaction;
        Transaction::setAnimationDuration(0.25);
        for (std::size_t i = 0; i < layers.size(); ++i)
            layers[i]->setZPosition(double(i + 1));
    }
    for (const auto& l : layers)
        ASSERT_FALSE(l->animationKeys().empty());
    runFor(0.5);
    for (std::size_t i = 0; i < layers.size(); ++i) {
        EXPECT_TRUE(layers[i]->animationKeys().empty()) << "layer " << i;
        EXPECT_EQ(layers[i]->presentationLayer()->zPosition(), double(i + 1));
    }
    layers[7]->setZPosition(-1);
    advance(0.125);
    EXPECT_GT(layers[7]->presentationLayer()->zPosition(), -1);
    runFor(0.5);
    EXPECT_TRUE(layers[7]->animationKeys().empty()) << "the second animation ends too";
    EXPECT_EQ(layers[7]->presentationLayer()->zPosition(), -1);
}
