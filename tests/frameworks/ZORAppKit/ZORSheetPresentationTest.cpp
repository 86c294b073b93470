#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"

#include "support/Canvas.h"

#include <cmath>
#include <vector>

namespace sheetpresentationtest {

using viewstest::SolidView;

class ZORSheetPresentationTest : public viewstest::ViewsTest {
protected:
    ZORSheetPresentationTest()
    {
        content = SolidView::create({ 20, 20, 200, 140 }, gfx::Color::colorWithDeviceRed(0, 0, 1));
        add(content);
    }
    ~ZORSheetPresentationTest() override { presentation.setUseHighlightEffect(true); }

    long overlays() const
    {
        long n = 0;
        for (const auto& v : window->contentView()->subviews())
            n += std::dynamic_pointer_cast<ZORSheetPresentationView>(v) != nullptr;
        return n;
    }
    // Red of the window's white background (at the bottom left) and blue of the content, as drawn now.
    std::pair<int, int> shades(const char* name = nullptr)
    {
        auto image = snapshot(name);
        return { gfx::redOf(pixel(*image, 5, 5)), gfx::blueOf(pixel(*image, 120, 90)) };
    }

    ZORSheetPresentation& presentation = ZORSheetPresentation::sharedSheetPresentation();
    std::shared_ptr<SolidView> content;
};

TEST_F(ZORSheetPresentationTest, TheOverlayFadesInOverTheContentAndFollowsTheWindowsSize)
{
    presentation.prepareSheetPresentationForWindow(*window);
    presentation.prepareSheetPresentationForWindow(*window);
    ASSERT_EQ(overlays(), 1) << "preparing twice adds one overlay";
    auto overlay = ZORSheetPresentation::presentationViewForWindow(*window);
    EXPECT_EQ(window->contentView()->subviews().back(), overlay) << "on top of the content";
    EXPECT_EQ(overlay->frame(), window->contentView()->bounds());
    EXPECT_EQ(overlay->autoresizingMask(), 18u);
    EXPECT_EQ(shades(), std::make_pair(255, 255)) << "nothing dims at the start of the fade";

    runFor(0.5);
    auto [halfWhite, halfBlue] = shades("ZORSheetPresentation-fading-in");
    EXPECT_LT(halfWhite, 250);
    EXPECT_GT(halfWhite, 160);
    EXPECT_GT(halfBlue, 160);

    runFor(0.6);
    EXPECT_EQ(overlay->alphaValue(), 1);
    // 40 % black over white and over blue: 60 % of each shows through.
    auto [white, blue] = shades("ZORSheetPresentation-dimmed");
    EXPECT_NEAR(white, 153, 2);
    EXPECT_NEAR(blue, 153, 2);

    window->setContentSize({ 400, 300 });
    EXPECT_EQ(overlay->frame(), window->contentView()->bounds());
    EXPECT_EQ(window->contentView()->hitTest({ 100, 100 }), content) << "clicks reach the content beneath";
}

// Each fade takes its second in steps a person sees as smooth, and few enough that a window system painting the
// whole window for each (the GTK backend) keeps up cheaply. Worked out: 40 % black is 102 levels of 255; at 30 steps
// a second the eased curve's steepest part (1.5 times the mean) moves 102 · 1.5 / 30 ≈ 5 levels a step.
TEST_F(ZORSheetPresentationTest, EachFadeTakesItsSecondInSmallStepsOfAboutThirtyASecond)
{
    for (bool fadingIn : { true, false }) {
        if (fadingIn)
            presentation.prepareSheetPresentationForWindow(*window);
        else
            presentation.cleanUpSheetPresentationForWindow(*window);
        auto overlay = ZORSheetPresentation::presentationViewForWindow(*window);
        ASSERT_TRUE(overlay);
        std::vector<double> levels { overlay->isHidden() ? 0 : overlay->alphaValue() * 102 };
        double elapsed = 0;
        const double tick = 1.0 / 240;
        while (elapsed < 2 && ZORSheetPresentation::presentationViewForWindow(*window)
            && (fadingIn ? overlay->alphaValue() < 1 : true)) {
            runFor(tick);
            elapsed += tick;
            const double level = overlay->superview() && !overlay->isHidden() ? overlay->alphaValue() * 102 : 0;
            if (level != levels.back())
                levels.push_back(level);
        }
        EXPECT_GE(elapsed, 1 - 2 * tick) << (fadingIn ? "in" : "out") << ": the fade takes its second";
        EXPECT_LE(elapsed, 1.1) << (fadingIn ? "in" : "out");
        EXPECT_GE(levels.size(), 25u) << (fadingIn ? "in" : "out") << ": enough steps to look smooth";
        EXPECT_LE(levels.size(), 33u) << (fadingIn ? "in" : "out") << ": about thirty steps a second";
        for (std::size_t i = 1; i < levels.size(); ++i)
            EXPECT_LE(std::abs(levels[i] - levels[i - 1]), 6) << (fadingIn ? "in" : "out") << " step " << i;
        runFor(0.2);
    }
}

TEST_F(ZORSheetPresentationTest, CleaningUpFadesTheOverlayOutAndRemovesIt)
{
    presentation.cleanUpSheetPresentationForWindow(*window);
    EXPECT_EQ(window->contentView()->subviews().size(), 1u) << "a window that is not dimmed is left alone";

    presentation.prepareSheetPresentationForWindow(*window);
    runFor(1.5);
    presentation.cleanUpSheetPresentationForWindow(*window);
    runFor(0.5);
    EXPECT_EQ(overlays(), 1) << "the overlay stays while it fades";
    EXPECT_GT(shades().first, 160);
    runFor(0.6);
    EXPECT_EQ(overlays(), 0);
    EXPECT_EQ(shades("ZORSheetPresentation-undimmed"), std::make_pair(255, 255));
}

TEST_F(ZORSheetPresentationTest, ASheetOpeningAgainWhileTheOverlayFadesOutKeepsTheWindowDimmed)
{
    presentation.prepareSheetPresentationForWindow(*window);
    runFor(1.5);
    presentation.cleanUpSheetPresentationForWindow(*window);
    runFor(0.4);
    auto overlay = ZORSheetPresentation::presentationViewForWindow(*window);
    presentation.prepareSheetPresentationForWindow(*window);
    EXPECT_EQ(ZORSheetPresentation::presentationViewForWindow(*window), overlay) << "the same overlay, taken back";
    runFor(3);
    EXPECT_EQ(overlays(), 1) << "the stopped fade-out does not take the overlay away";
    EXPECT_EQ(overlay->alphaValue(), 1);
    EXPECT_NEAR(shades().first, 153, 2);

    presentation.cleanUpSheetPresentationForWindow(*window);
    runFor(1.5);
    EXPECT_EQ(overlays(), 0);
}

TEST_F(ZORSheetPresentationTest, WithoutTheHighlightEffectNothingDimsButEarlierOverlaysStillGo)
{
    presentation.prepareSheetPresentationForWindow(*window);
    presentation.setUseHighlightEffect(false);
    auto other = ui::Window::create({ 0, 0, 100, 100 });
    presentation.prepareSheetPresentationForWindow(*other);
    EXPECT_EQ(ZORSheetPresentation::presentationViewForWindow(*other), nullptr);

    presentation.cleanUpSheetPresentationForWindow(*window);
    runFor(0.4);
    // Preparing while the earlier overlay fades out takes nothing back: the fade goes on and removes it.
    presentation.prepareSheetPresentationForWindow(*window);
    EXPECT_EQ(overlays(), 1);
    runFor(0.2);
    EXPECT_LT(ZORSheetPresentation::presentationViewForWindow(*window)->alphaValue(), 0.5);
    runFor(0.5);
    EXPECT_EQ(overlays(), 0);
}

TEST_F(ZORSheetPresentationTest, ThereIsOneSharedPresentationAndNoOtherCanBeMadeByName)
{
    EXPECT_EQ(&ZORSheetPresentation::sharedSheetPresentation(), &presentation);
    EXPECT_TRUE(presentation.useHighlightEffect());
    EXPECT_EQ(fnd::ClassRegistry::shared().create("ZORSheetPresentation"), nullptr);
    EXPECT_NE(fnd::ClassRegistry::shared().create("ZORSheetPresentationView"), nullptr);
}

}
