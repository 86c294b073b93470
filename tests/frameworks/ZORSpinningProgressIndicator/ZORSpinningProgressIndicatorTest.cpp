#include "platform/ui/UiTestSupport.h"
#include "support/Raised.h"
#include "support/Waiting.h"

#include <gmock/gmock.h>

#include "frameworks/ZORSpinningProgressIndicator/ZORSpinningProgressIndicator.h"

#include "platform/foundation/runtime/RunLoop.h"

#include <cmath>
#include <numbers>

// Counts its drawings, to see redraws the animation thread asks for.
class CountingSpinner : public ZORSpinningProgressIndicator {
    FND_OBJECT(CountingSpinner)
public:
    void drawRect(gfx::Rect dirty) override
    {
        ++draws;
        ZORSpinningProgressIndicator::drawRect(dirty);
    }
    int draws { 0 };
};

FND_REGISTER_CLASS(CountingSpinner, ZORSpinningProgressIndicator)

namespace {

class ZORSpinningProgressIndicatorTest : public uitest::KeyWindowTest {
protected:
    ZORSpinningProgressIndicatorTest()
        : KeyWindowTest({ 100, 100 })
    {
        spinner = ZORSpinningProgressIndicator::create({ 0, 0, 100, 100 });
        spinner->setColor(gfx::Color::blackColor());
        add(spinner);
    }

    // Lets the run loop (and the virtual clock with it) go on for the seconds, in the mode.
    static void run(double seconds, const fnd::String& mode = fnd::RunLoopMode::Default)
    {
        auto limit = fnd::Clock::current()->now().addingTimeInterval(seconds);
        while (fnd::Clock::current()->now() < limit)
            fnd::RunLoop::current().runInMode(mode, limit, false);
    }

    // How dark the spinner is at the angle (degrees clockwise from twelve o'clock), in the middle of a fin.
    int darknessAt(const gfx::BitmapImageRep& image, double degrees) const
    {
        double radians = degrees * std::numbers::pi / 180;
        double radius = 100 * (0.234375 + 0.421875) / 2;
        return 255 - luminance(pixel(image, 50 + radius * std::sin(radians), 50 + radius * std::cos(radians)));
    }

    std::shared_ptr<ZORSpinningProgressIndicator> spinner;
};

// The timer steps every 0.05 s on the run loop's clock, in the default and in the tracking modes, counting down
// from the first fin and wrapping to the last.
TEST_F(ZORSpinningProgressIndicatorTest, TheTimerStepsOnTheClockInEveryMode)
{
    EXPECT_EQ(spinner->position(), 0);
    spinner->startAnimation();
    EXPECT_TRUE(spinner->isAnimating());
    EXPECT_TRUE(spinner->hasAnimationTimer());
    EXPECT_FALSE(spinner->hasAnimationThread());
    run(0.051);
    EXPECT_EQ(spinner->position(), 11) << "from 0 the step wraps to the last fin";
    run(0.5);
    EXPECT_EQ(spinner->position(), 1);
    run(0.1, fnd::RunLoopMode::EventTracking);
    EXPECT_EQ(spinner->position(), 11) << "a tracking loop keeps the spinner turning";
    run(0.05, fnd::RunLoopMode::ModalPanel);
    EXPECT_EQ(spinner->position(), 10);
    spinner->stopAnimation();
    EXPECT_FALSE(spinner->hasAnimationTimer());
    run(0.5);
    EXPECT_EQ(spinner->position(), 10) << "a stopped spinner stands still";
}

// The machinery runs only in a window: it stops when the view leaves and comes back with it.
TEST_F(ZORSpinningProgressIndicatorTest, TheAnimationFollowsTheWindow)
{
    spinner->startAnimation();
    spinner->removeFromSuperview();
    EXPECT_FALSE(spinner->hasAnimationTimer());
    EXPECT_TRUE(spinner->isAnimating()) << "the request is kept";
    run(0.2);
    EXPECT_EQ(spinner->position(), 0);
    add(spinner);
    EXPECT_TRUE(spinner->hasAnimationTimer());
    run(0.1);
    EXPECT_EQ(spinner->position(), 10);

    auto loose = ZORSpinningProgressIndicator::create({ 0, 0, 20, 20 });
    loose->startAnimation();
    EXPECT_TRUE(loose->isAnimating());
    EXPECT_FALSE(loose->hasAnimationTimer()) << "nothing runs outside a window";
}

TEST_F(ZORSpinningProgressIndicatorTest, VisibilityFollowsDisplayWhenStopped)
{
    spinner->setDisplayedWhenStopped(false);
    EXPECT_TRUE(spinner->isHidden());
    spinner->startAnimation();
    EXPECT_FALSE(spinner->isHidden());
    spinner->setDisplayedWhenStopped(true);
    spinner->setDisplayedWhenStopped(false);
    EXPECT_FALSE(spinner->isHidden()) << "an animating view stays shown";
    spinner->stopAnimation();
    EXPECT_TRUE(spinner->isHidden());
    spinner->setDisplayedWhenStopped(true);
    EXPECT_FALSE(spinner->isHidden());
}

// A determinate view never animates: a value makes it determinate and stops it, and a start is ignored.
TEST_F(ZORSpinningProgressIndicatorTest, ADeterminateViewDoesNotAnimate)
{
    spinner->startAnimation();
    spinner->setDoubleValue(30);
    EXPECT_FALSE(spinner->isIndeterminate());
    EXPECT_FALSE(spinner->isAnimating());
    EXPECT_FALSE(spinner->hasAnimationTimer());
    spinner->startAnimation();
    EXPECT_FALSE(spinner->isAnimating());
    EXPECT_EQ(spinner->doubleValue(), 30);
}

TEST_F(ZORSpinningProgressIndicatorTest, OnlyTheSpinningStyleIsAccepted)
{
    EXPECT_FALSE(raised([&] { spinner->setStyle(ui::ProgressIndicatorStyle::Spinning); }));
    auto failure = raised([&] { spinner->setStyle(ui::ProgressIndicatorStyle::Bar); });
    ASSERT_TRUE(failure);
    EXPECT_THAT(failure->reason().utf8(), testing::HasSubstr("Non-spinning styles not available."));
}

// Switching the mode while animating swaps the machinery; the thread moves the step by itself and the main thread
// redraws once it runs.
TEST_F(ZORSpinningProgressIndicatorTest, TheThreadStepsAndTheMainThreadRedraws)
{
    spinner->removeFromSuperview();
    auto counting = std::make_shared<CountingSpinner>();
    counting->initWithFrame({ 0, 0, 100, 100 });
    spinner = counting;
    add(spinner);
    spinner->startAnimation();
    spinner->setUsesThreadedAnimation(true);
    EXPECT_FALSE(spinner->hasAnimationTimer());
    EXPECT_TRUE(spinner->hasAnimationThread());
    window->displayIfNeeded();
    EXPECT_TRUE(testsupport::waitUntil([&] { return spinner->position() != 0; })) << "the thread did not step";
    EXPECT_FALSE(spinner->needsDisplay()) << "the thread itself marks nothing";
    // The thread steps before it posts its redraw, and the window draws at most once a frame: run the loop until the
    // redraw has come through rather than once.
    int before = counting->draws;
    EXPECT_TRUE(testsupport::waitUntilTurning([&] { return counting->draws > before; },
        [&] {
            fnd::RunLoop::current().runInMode(fnd::RunLoopMode::Default, fnd::Clock::current()->now(), false);
            window->displayIfNeeded();
        }))
        << "the posted redraw ran on the main thread";
    spinner->setUsesThreadedAnimation(false);
    EXPECT_FALSE(spinner->hasAnimationThread());
    EXPECT_TRUE(spinner->hasAnimationTimer());
}

// Starting and stopping the thread over and over (and dropping a spinner whose thread runs) never crashes, never
// races (run under the sanitizers), and every stop has joined the thread when it returns.
TEST_F(ZORSpinningProgressIndicatorTest, TheThreadStartsAndStopsAThousandTimes)
{
    spinner->setUsesThreadedAnimation(true);
    for (int i = 0; i < 1000; ++i) {
        spinner->startAnimation();
        ASSERT_TRUE(spinner->hasAnimationThread());
        spinner->stopAnimation();
        ASSERT_FALSE(spinner->hasAnimationThread()) << "the stop returned before the thread ended";
        if (i % 10 == 0)
            fnd::RunLoop::current().runInMode(fnd::RunLoopMode::Default, fnd::Clock::current()->now(), false);
    }
    // How fast a stop in the middle of the thread's 50 ms pause returns is measured by bench_SpinningProgressIndicator
    // (stopTheThread), not asserted here.
    for (int i = 0; i < 50; ++i) {
        auto doomed = ZORSpinningProgressIndicator::create({ 0, 0, 10, 10 });
        doomed->setUsesThreadedAnimation(true);
        add(doomed);
        doomed->startAnimation();
        doomed->removeFromSuperview();
        doomed->startAnimation();
        add(doomed);
    }
    fnd::RunLoop::current().runInMode(fnd::RunLoopMode::Default, fnd::Clock::current()->now(), false);
}

// Stopped, every fin is faint; animating, the brightest fin sits at twelve o'clock and moves clockwise one fin per
// step, its trail fading anticlockwise behind it.
TEST_F(ZORSpinningProgressIndicatorTest, TheBrightestFinMovesClockwise)
{
    auto stopped = snapshot("spinner-stopped");
    EXPECT_NEAR(darknessAt(*stopped, 0), darknessAt(*stopped, 180), 3);
    EXPECT_LT(darknessAt(*stopped, 0), 80);

    spinner->startAnimation();
    auto first = snapshot("spinner-step0");
    EXPECT_GT(darknessAt(*first, 0), 200);
    EXPECT_GT(darknessAt(*first, 0), darknessAt(*first, -30));
    EXPECT_GT(darknessAt(*first, -30), darknessAt(*first, -60)) << "the trail fades anticlockwise";
    EXPECT_LT(darknessAt(*first, 30), 40) << "the last fin is nearly clear";

    run(0.051);
    auto second = snapshot("spinner-step1");
    EXPECT_GT(darknessAt(*second, 30), 200) << "one step moves the head a fin clockwise";
    EXPECT_GT(darknessAt(*second, 30), darknessAt(*second, 0));
}

// The pie fills clockwise from twelve o'clock by value / maximum, inside a ring; a zero maximum leaves it empty.
TEST_F(ZORSpinningProgressIndicatorTest, ThePieFillsClockwiseFromTwelve)
{
    spinner->setDoubleValue(25);
    auto quarter = snapshot("spinner-pie-quarter");
    EXPECT_LT(luminance(pixel(*quarter, 70, 70)), 40) << "upper right is filled";
    EXPECT_GT(luminance(pixel(*quarter, 30, 70)), 200) << "upper left is not";
    EXPECT_GT(luminance(pixel(*quarter, 70, 30)), 200) << "lower right is not";
    EXPECT_LT(luminance(pixel(*quarter, 50, 50 - 46.5)), 128) << "the ring is drawn all round";

    spinner->setMaxValue(50);
    auto half = snapshot();
    EXPECT_LT(luminance(pixel(*half, 70, 30)), 40);
    EXPECT_GT(luminance(pixel(*half, 30, 30)), 200);

    spinner->setMaxValue(0);
    auto empty = snapshot();
    EXPECT_GT(luminance(pixel(*empty, 70, 70)), 200);
}

}
