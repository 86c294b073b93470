#include "UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/ViewAnimation.h"

namespace viewanimationtest {

using ui::ViewAnimation;
namespace Key = ui::ViewAnimationKey;

class EndRecorder : public ui::AnimationDelegate {
public:
    void animationDidEnd(ui::Animation& a) override
    {
        auto& entries = dynamic_cast<ViewAnimation&>(a).viewAnimations();
        ended.push_back(entries.empty() ? fnd::Value() : entries[0].get("hide"));
    }
    void animationDidStop(ui::Animation&) override { ++stopped; }
    std::vector<fnd::Value> ended;
    int stopped { 0 };
};

class ViewAnimationTest : public uitest::UiTest {
protected:
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
};

TEST_F(ViewAnimationTest, FramesMoveAndFadesShowOrHideAtTheirEnds)
{
    auto window = ui::Window::create({ 0, 0, 400, 300 });
    auto mover = ui::View::create({ 0, 0, 100, 100 });
    auto fader = ui::View::create({ 200, 0, 50, 50 });
    auto appearing = ui::View::create({ 300, 0, 50, 50 });
    appearing->setHidden(true);
    for (const auto& v : { mover, fader, appearing })
        window->contentView()->addSubview(v);

    auto animation = ViewAnimation::create({
        { { Key::Target, mover }, { Key::EndFrame, gfx::Rect { 100, 50, 200, 100 } }, { "hide", true } },
        { { Key::Target, fader }, { Key::Effect, ui::ViewAnimationEffect::FadeOut } },
        { { Key::Target, appearing }, { Key::Effect, ui::ViewAnimationEffect::FadeIn } },
    });
    EXPECT_EQ(animation->duration(), 0.5);
    EXPECT_EQ(animation->animationBlockingMode(), ui::AnimationBlockingMode::Nonblocking);
    animation->setDuration(1);
    animation->setAnimationCurve(ui::AnimationCurve::Linear);
    animation->setFrameRate(10);
    auto delegate = std::make_shared<EndRecorder>();
    animation->setDelegate(delegate);
    animation->startAnimation();
    EXPECT_FALSE(appearing->isHidden()) << "a view fading in shows from the start";

    runFor(0.5);
    EXPECT_TRUE(gfx::nearlyEqual(mover->frame(), { 50, 25, 150, 100 }, 1e-6))
        << gfx::stringFromRect(mover->frame()).utf8();
    EXPECT_FALSE(fader->isHidden());
    runFor(1);
    EXPECT_EQ(mover->frame(), (gfx::Rect { 100, 50, 200, 100 }));
    EXPECT_TRUE(fader->isHidden());
    EXPECT_FALSE(mover->isHidden());
    ASSERT_EQ(delegate->ended.size(), 1u);
    EXPECT_EQ(delegate->ended[0], fnd::Value(true)) << "the delegate reads its own keys back";
}

TEST_F(ViewAnimationTest, WindowsFadeThroughTheirAlphaAndAStopLeavesThingsWhereTheyAre)
{
    auto window = ui::Window::create({ 0, 0, 100, 100 });
    window->setAlphaValue(0.8);
    auto fadeIn
        = ViewAnimation::create({ { { Key::Target, window }, { Key::Effect, ui::ViewAnimationEffect::FadeIn } } });
    fadeIn->setAnimationCurve(ui::AnimationCurve::Linear);
    fadeIn->setFrameRate(20);
    fadeIn->startAnimation();
    EXPECT_TRUE(window->isVisible()) << "a window fading in is ordered in";
    runFor(0.26);
    EXPECT_NEAR(window->alphaValue(), 0.4, 1e-6);
    runFor(1);
    EXPECT_NEAR(window->alphaValue(), 0.8, 1e-6);

    auto fadeOut = ViewAnimation::create({ { { Key::Target, window }, { Key::Effect, ui::ViewAnimationEffect::FadeOut },
        { Key::EndFrame, gfx::Rect { 50, 50, 100, 100 } } } });
    fadeOut->setAnimationCurve(ui::AnimationCurve::Linear);
    fadeOut->setFrameRate(20);
    auto delegate = std::make_shared<EndRecorder>();
    fadeOut->setDelegate(delegate);
    const gfx::Rect startFrame = window->frame();
    fadeOut->startAnimation();
    runFor(0.26);
    fadeOut->stopAnimation();
    EXPECT_EQ(delegate->stopped, 1);
    EXPECT_TRUE(delegate->ended.empty());
    EXPECT_NEAR(window->alphaValue(), 0.4, 1e-6);
    EXPECT_TRUE(window->isVisible());
    EXPECT_NEAR(window->frame().minX(), startFrame.minX() + (50 - startFrame.minX()) * 0.5, 1e-6);

    // Resumed, it carries on from the alpha it finds.
    window->setAlphaValue(0.8);
    fadeOut->startAnimation();
    runFor(1);
    EXPECT_FALSE(window->isVisible()) << "a window that faded out is ordered out";
    EXPECT_NEAR(window->alphaValue(), 0.8, 1e-6) << "and keeps its alpha for the next time it shows";
    EXPECT_EQ(window->frame(), (gfx::Rect { 50, 50, 100, 100 }));
}

// Fills its bounds with opaque black.
class BlackView : public ui::View {
public:
    void drawRect(gfx::Rect) override
    {
        auto* context = gfx::GraphicsContext::current();
        context->setFillColor(*gfx::Color::blackColor());
        context->fillRect(bounds());
    }
};

TEST_F(ViewAnimationTest, ViewsFadeThroughTheirAlphaAndAStoppedFadeOutFadesBackInFromWhereItIs)
{
    auto window = ui::Window::create({ 0, 0, 100, 100 });
    window->setBackgroundColor(gfx::Color::whiteColor());
    auto view = std::make_shared<BlackView>();
    view->initWithFrame({ 0, 0, 100, 100 });
    view->setHidden(true);
    window->contentView()->addSubview(view);
    auto grey = [&] { return gfx::redOf(backend->imageOfWindow(*window)->pixelBuffer().pixel(50, 50)); };

    auto fade = [&](const fnd::String& effect) {
        auto animation = ViewAnimation::create({ { { Key::Target, view }, { Key::Effect, effect } } });
        animation->setAnimationCurve(ui::AnimationCurve::Linear);
        animation->setDuration(1);
        animation->setFrameRate(20);
        animation->startAnimation();
        return animation;
    };
    fade(ui::ViewAnimationEffect::FadeIn);
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(view->alphaValue(), 0);
    runFor(0.5);
    EXPECT_NEAR(view->alphaValue(), 0.5, 1e-6);
    EXPECT_NEAR(grey(), 128, 2) << "half of the black view over the white window";
    runFor(1);
    EXPECT_EQ(view->alphaValue(), 1);
    EXPECT_EQ(grey(), 0);

    auto fadeOut = fade(ui::ViewAnimationEffect::FadeOut);
    runFor(0.25);
    fadeOut->stopAnimation();
    const double stoppedAt = view->alphaValue();
    EXPECT_GT(stoppedAt, 0.5);
    EXPECT_LT(stoppedAt, 1);
    EXPECT_FALSE(view->isHidden());
    fade(ui::ViewAnimationEffect::FadeIn);
    EXPECT_EQ(view->alphaValue(), stoppedAt) << "no jump back to transparent";
    runFor(0.5);
    EXPECT_GT(view->alphaValue(), stoppedAt);
    EXPECT_LT(view->alphaValue(), 1);
    runFor(1);
    EXPECT_EQ(view->alphaValue(), 1);

    fade(ui::ViewAnimationEffect::FadeOut);
    runFor(2);
    EXPECT_TRUE(view->isHidden());
    EXPECT_EQ(view->alphaValue(), 1) << "a faded-out view keeps its alpha for the next time it shows";
    EXPECT_EQ(grey(), 255);
}

}
