#include "UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Animator.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/WindowCapture.h"

#include <cmath>

namespace animatortest {

// A view with a pulse: setting "pulsing" through the animator swings "level" between 0 and 1.
class PulsingView : public ui::View, public ui::AnimatablePropertyContainer {
    FND_OBJECT(PulsingView)
    static void describeClass(fnd::ClassBuilder<PulsingView>& c)
    {
        c.property("pulsing", &PulsingView::pulsing);
        c.property("level", &PulsingView::level);
    }

public:
    std::optional<ui::KeyAnimation> defaultAnimationForKey(const fnd::String& key) const override
    {
        if (key != "pulsing")
            return std::nullopt;
        ui::KeyAnimation a;
        a.keyPath = "level";
        a.duration = 1.0;
        a.autoreverses = true;
        a.repeatCount = ui::KeyAnimation::RepeatForever;
        a.curve = ui::AnimationCurve::Linear;
        return a;
    }
    void viewDidHide() override { ++hides; }
    void viewDidUnhide() override { ++unhides; }

    bool pulsing { false };
    double level { 0 };
    int hides { 0 };
    int unhides { 0 };
};
FND_REGISTER_CLASS(PulsingView, ui::View)

class AnimatorTest : public uitest::UiTest {
protected:
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
};

TEST(KeyAnimation, ValuesAlongTheCurveBackAndForthAndTheEnd)
{
    ui::KeyAnimation once { "level", 10, 20, 2.0, false, 1, ui::AnimationCurve::Linear };
    EXPECT_DOUBLE_EQ(*once.valueAtTime(0), 10);
    EXPECT_DOUBLE_EQ(*once.valueAtTime(1), 15);
    EXPECT_FALSE(once.valueAtTime(2.0)) << "over after one run";
    ui::KeyAnimation swing { "level", 0, 1, 1.0, true, 2, ui::AnimationCurve::Linear };
    EXPECT_DOUBLE_EQ(*swing.valueAtTime(0.25), 0.25);
    EXPECT_DOUBLE_EQ(*swing.valueAtTime(1.5), 0.5) << "on its way back";
    EXPECT_DOUBLE_EQ(*swing.valueAtTime(2.25), 0.25) << "the second repeat";
    EXPECT_FALSE(swing.valueAtTime(4.0));
    ui::KeyAnimation eased { "level", 0, 1, 1.0, false, 1, ui::AnimationCurve::EaseInOut };
    EXPECT_LT(*eased.valueAtTime(0.1), 0.1) << "slow at the start";
    ui::KeyAnimation zero { "level", 0, 1, 0, false, 1, ui::AnimationCurve::Linear };
    EXPECT_FALSE(zero.valueAtTime(0)) << "no duration, no animation";
}

TEST_F(AnimatorTest, SettingAKeyThroughTheAnimatorRunsItsAnimationUntilRemoved)
{
    auto view = std::make_shared<PulsingView>();
    view->initWithFrame({ 0, 0, 10, 10 });
    ui::Animator::setValueForKey(*view, fnd::Value(true), "pulsing");
    EXPECT_TRUE(view->pulsing) << "the model value is set at once";
    EXPECT_TRUE(ui::Animator::isAnimatingKey(*view, "pulsing"));
    runFor(0.5);
    EXPECT_NEAR(view->level, 0.5, 0.05);
    runFor(1.0);
    EXPECT_NEAR(view->level, 0.5, 0.05) << "coming back down";
    runFor(5.0);
    EXPECT_TRUE(ui::Animator::isAnimatingKey(*view, "pulsing")) << "repeats without end";
    ui::Animator::removeAnimationForKey(*view, "pulsing");
    const double stopped = view->level;
    runFor(0.5);
    EXPECT_EQ(view->level, stopped);

    // A key without an animation is only set; an object that is gone ends its animation.
    ui::Animator::setValueForKey(*view, fnd::Value(0.25), "level");
    EXPECT_EQ(view->level, 0.25);
    EXPECT_FALSE(ui::Animator::isAnimatingKey(*view, "level"));
    ui::Animator::setValueForKey(*view, fnd::Value(true), "pulsing");
    const fnd::Object* address = view.get();
    view.reset();
    runFor(0.1);
    EXPECT_FALSE(ui::Animator::isAnimatingKey(*reinterpret_cast<const fnd::Object*>(address), "pulsing"));
}

TEST_F(AnimatorTest, HidingAndShowingTellTheViewOnceEach)
{
    auto view = std::make_shared<PulsingView>();
    view->initWithFrame({ 0, 0, 10, 10 });
    view->setHidden(true);
    view->setHidden(true);
    view->setHidden(false);
    EXPECT_EQ(view->hides, 1);
    EXPECT_EQ(view->unhides, 1);
}

TEST_F(AnimatorTest, AWindowCaptureShowsItsViewTree)
{
    auto window = ui::Window::create({ { 100, 100 }, { 80, 60 } });
    window->setBackgroundColor(gfx::Color::whiteColor());
    struct Red : ui::View {
        void drawRect(gfx::Rect) override
        {
            gfx::Color::redColor()->setFill();
            gfx::BezierPath::fillRect(bounds());
        }
    };
    auto red = std::make_shared<Red>();
    red->initWithFrame({ 40, 30, 20, 20 });
    window->contentView()->addSubview(red);
    auto image = ui::captureWindowImage(*window);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), gfx::Size(80, 60));
    auto bitmap = image->CGImageForProposedRect();
    ASSERT_TRUE(bitmap);
    auto pixels = bitmap->pixelBuffer();
    // Rows run from the top: the red square's centre (50, 40 up) is row 20.
    EXPECT_EQ(pixels.pixel(50, 60 - 40), 0xFFFF0000u);
    EXPECT_EQ(pixels.pixel(5, 5), 0xFFFFFFFFu);
}

}
