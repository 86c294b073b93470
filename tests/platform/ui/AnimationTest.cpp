#include "platform/ui/views/Animation.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using ui::Animation;
using ui::AnimationCurve;

// Records what the animation tells it, with the virtual time of each call.
class Recorder : public ui::AnimationDelegate {
public:
    void animationDidStop(Animation& a) override { events.push_back("stop@" + std::to_string(a.currentProgress())); }
    void animationDidEnd(Animation& a) override { events.push_back("end@" + std::to_string(a.currentProgress())); }
    std::optional<float> animationValueForProgress(Animation&, ui::AnimationProgress p) override
    {
        if (squares)
            return p * p;
        return std::nullopt;
    }
    void animationDidReachProgressMark(Animation&, ui::AnimationProgress mark) override
    {
        const double t = fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
        events.push_back("mark " + std::to_string(mark) + " at " + std::to_string(t));
    }
    bool squares { false };
    std::vector<std::string> events;
};

class AnimationTest : public ::testing::Test {
protected:
    std::shared_ptr<fnd::VirtualClock> clock = std::make_shared<fnd::VirtualClock>();
    fnd::ScopedClock scoped { clock };

    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
};

TEST_F(AnimationTest, CurvesRunFromZeroToOne)
{
    for (auto curve :
        { AnimationCurve::EaseInOut, AnimationCurve::EaseIn, AnimationCurve::EaseOut, AnimationCurve::Linear }) {
        const int c = static_cast<int>(curve);
        EXPECT_NEAR(Animation::curveValue(curve, 0), 0, 1e-6) << c;
        EXPECT_NEAR(Animation::curveValue(curve, 1), 1, 1e-6) << c;
        float previous = 0;
        for (int i = 1; i <= 20; ++i) {
            const float value = Animation::curveValue(curve, i / 20.0f);
            EXPECT_GE(value, previous) << "curve " << c << " falls at " << i / 20.0;
            previous = value;
        }
        // Outside the range the ends hold.
        EXPECT_NEAR(Animation::curveValue(curve, 1.5f), 1, 1e-6) << c;
    }
    EXPECT_NEAR(Animation::curveValue(AnimationCurve::EaseInOut, 0.5f), 0.5, 1e-4);
    EXPECT_LT(Animation::curveValue(AnimationCurve::EaseIn, 0.5f), 0.4);
    EXPECT_GT(Animation::curveValue(AnimationCurve::EaseOut, 0.5f), 0.6);
    EXPECT_LT(Animation::curveValue(AnimationCurve::EaseInOut, 0.1f), 0.1);
}

TEST_F(AnimationTest, NonblockingRunsOnTheClockAndPassesMarks)
{
    auto delegate = std::make_shared<Recorder>();
    std::weak_ptr<Animation> weak;
    {
        auto animation = Animation::create(1.0, AnimationCurve::Linear);
        animation->setAnimationBlockingMode(ui::AnimationBlockingMode::Nonblocking);
        animation->setFrameRate(10);
        animation->setDelegate(delegate);
        animation->setProgressMarks({ 0.75f, 0.25f, 0.25f, 2.0f });
        EXPECT_EQ(animation->progressMarks(), (std::vector<float> { 0.25f, 0.75f, 1.0f }));
        animation->startAnimation();
        EXPECT_TRUE(animation->isAnimating());
        weak = animation;
    }
    // Nobody else holds it: it keeps itself alive while it runs.
    runFor(0.5);
    auto animation = weak.lock();
    ASSERT_TRUE(animation);
    EXPECT_NEAR(animation->currentProgress(), 0.5, 1e-6);
    EXPECT_NEAR(animation->currentValue(), 0.5, 1e-6);
    delegate->squares = true;
    EXPECT_NEAR(animation->currentValue(), 0.25, 1e-6);
    animation.reset();
    runFor(2);
    EXPECT_TRUE(weak.expired()) << "an ended animation lets go of itself";
    EXPECT_EQ(delegate->events,
        (std::vector<std::string> {
            "mark 0.250000 at 0.300000", "mark 0.750000 at 0.800000", "mark 1.000000 at 1.000000", "end@1.000000" }));
}

// A progress mark that is not a number is left out: std::clamp let it through, and each one was added again and
// broke the marks' order.
TEST_F(AnimationTest, MarksThatAreNoNumbersAreLeftOut)
{
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    auto animation = Animation::create(1.0, AnimationCurve::Linear);
    animation->setProgressMarks({ 0.75f, NaN, 0.25f });
    animation->addProgressMark(NaN);
    animation->addProgressMark(0.5f);
    EXPECT_EQ(animation->progressMarks(), (std::vector<float> { 0.25f, 0.5f, 0.75f }));
}

TEST_F(AnimationTest, BlockingReturnsAtTheEndAndStopsEarlyWhenAsked)
{
    auto delegate = std::make_shared<Recorder>();
    auto animation = Animation::create(0.5, AnimationCurve::EaseIn);
    animation->setDelegate(delegate);
    const auto start = clock->now();
    animation->startAnimation();
    EXPECT_FALSE(animation->isAnimating());
    EXPECT_NEAR(clock->now().timeIntervalSince(start), 0.5, 1.0 / 60 + 1e-9);
    EXPECT_EQ(delegate->events, std::vector<std::string> { "end@1.000000" });

    // Started again it starts over; a mark handler stops it, and the delegate hears stop rather than end.
    class Stopper : public Recorder {
    public:
        void animationDidReachProgressMark(Animation& a, ui::AnimationProgress mark) override
        {
            Recorder::animationDidReachProgressMark(a, mark);
            a.stopAnimation();
        }
    };
    auto stopper = std::make_shared<Stopper>();
    animation->setDelegate(stopper);
    animation->setFrameRate(4);
    animation->addProgressMark(0.5f);
    animation->startAnimation();
    EXPECT_FALSE(animation->isAnimating());
    ASSERT_EQ(stopper->events.size(), 2u);
    EXPECT_EQ(stopper->events[1], "stop@0.500000");

    // Resuming starts from where it stopped.
    animation->setAnimationBlockingMode(ui::AnimationBlockingMode::Nonblocking);
    animation->setDelegate(delegate);
    animation->startAnimation();
    runFor(1);
    EXPECT_NEAR(animation->currentProgress(), 1, 1e-6);
    EXPECT_EQ(delegate->events.back(), "end@1.000000");
}

TEST_F(AnimationTest, ZeroDurationEndsOnTheFirstFrame)
{
    auto delegate = std::make_shared<Recorder>();
    auto animation = Animation::create(-3, AnimationCurve::EaseOut);
    EXPECT_EQ(animation->duration(), 0);
    animation->setDelegate(delegate);
    animation->setAnimationBlockingMode(ui::AnimationBlockingMode::Nonblocking);
    animation->startAnimation();
    runFor(0.1);
    EXPECT_EQ(delegate->events, std::vector<std::string> { "end@1.000000" });
}

}
