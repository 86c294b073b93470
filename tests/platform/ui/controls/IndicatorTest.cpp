#include "ControlsTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/controls/LevelIndicator.h"
#include "platform/ui/controls/ProgressIndicator.h"

#include "support/Canvas.h"

using namespace ui;
using namespace controlstest;

namespace {

class IndicatorTest : public ControlsTest {
protected:
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
    static bool isAccent(std::uint32_t p) { return int(gfx::blueOf(p)) - int(gfx::redOf(p)) > 80; }
    static bool isGreen(std::uint32_t p)
    {
        return gfx::greenOf(p) > gfx::redOf(p) + 60 && gfx::greenOf(p) > gfx::blueOf(p) + 30;
    }
    static bool isAmber(std::uint32_t p) { return gfx::redOf(p) > 200 && gfx::greenOf(p) > 120 && gfx::blueOf(p) < 80; }
    static bool isRed(std::uint32_t p) { return gfx::redOf(p) > 180 && gfx::greenOf(p) < 80; }
};

TEST_F(IndicatorTest, ProgressBarShowsItsValue)
{
    auto bar = ProgressIndicator::create({ 20, 100, 200, 20 });
    bar->setIndeterminate(false);
    bar->setDoubleValue(50);
    add(bar);
    auto image = snapshot("progress-bar");
    EXPECT_TRUE(isAccent(pixelIn(*image, *bar, { 80, 10 })));
    EXPECT_FALSE(isAccent(pixelIn(*image, *bar, { 140, 10 })));
    bar->setDoubleValue(250);
    EXPECT_EQ(bar->doubleValue(), 100) << "clamped to the range";
    bar->incrementBy(-30);
    EXPECT_EQ(bar->doubleValue(), 70);
}

TEST_F(IndicatorTest, IndeterminateIndicatorsAnimateOnTheRunLoop)
{
    auto spinner = ProgressIndicator::create({ 20, 100, 32, 32 });
    spinner->setStyle(ProgressIndicatorStyle::Spinning);
    add(spinner);
    auto stopped = snapshot();
    auto background = pixel(*stopped, 5, 5);
    EXPECT_FALSE(hasColorNear(*stopped, spinner->frame(), argb(255, 53, 132, 228), 40)) << "hidden while stopped";

    spinner->startAnimation();
    runFor(0.5);
    EXPECT_EQ(spinner->animationStep(), 15) << "thirty steps a second";
    auto first = snapshot("spinner");
    runFor(0.25);
    auto later = snapshot();
    EXPECT_TRUE(hasColorNear(*first, spinner->frame(), argb(255, 53, 132, 228), 40));
    EXPECT_GT(differingShare(*first, *later, spinner->frame()), 0.05) << "the arc turns";

    // Out of its window it stops; back in, it goes on.
    spinner->removeFromSuperview();
    EXPECT_FALSE(spinner->isAnimating());
    add(spinner);
    EXPECT_TRUE(spinner->isAnimating());
    spinner->stopAnimation();
    runFor(0.5);
    EXPECT_EQ(spinner->animationStep(), 0);
    EXPECT_EQ(pixel(*snapshot(), 36, 116), background);

    // An indeterminate bar moves a piece along its groove.
    auto bar = ProgressIndicator::create({ 20, 40, 200, 20 });
    add(bar);
    bar->startAnimation();
    runFor(0.2);
    auto a = snapshot();
    runFor(0.2);
    auto b = snapshot();
    EXPECT_GT(differingShare(*a, *b, bar->frame()), 0.05);
}

TEST_F(IndicatorTest, CapacityColoursFollowWarningAndCritical)
{
    auto indicator = LevelIndicator::create({ 20, 100, 200, 16 });
    indicator->setMaxValue(10);
    indicator->setWarningValue(6);
    indicator->setCriticalValue(8);
    add(indicator);
    auto* cell = indicator->levelIndicatorCell().get();
    struct Row {
        double value;
        LevelIndicatorCell::Level level;
    };
    for (auto row : { Row { 3, LevelIndicatorCell::Level::Normal }, Row { 6, LevelIndicatorCell::Level::Warning },
             Row { 9, LevelIndicatorCell::Level::Critical } }) {
        indicator->setDoubleValue(row.value);
        EXPECT_EQ(cell->level(), row.level) << row.value;
    }
    // When the warning value is above the critical one, low values are the bad ones.
    indicator->setWarningValue(4);
    indicator->setCriticalValue(2);
    indicator->setDoubleValue(1);
    EXPECT_EQ(cell->level(), LevelIndicatorCell::Level::Critical);
    indicator->setDoubleValue(3);
    EXPECT_EQ(cell->level(), LevelIndicatorCell::Level::Warning);
    indicator->setDoubleValue(5);
    EXPECT_EQ(cell->level(), LevelIndicatorCell::Level::Normal);

    indicator->setWarningValue(6);
    indicator->setCriticalValue(8);
    indicator->setDoubleValue(9);
    auto image = snapshot("level");
    EXPECT_TRUE(isRed(pixelIn(*image, *indicator, { 20, 8 })));
    EXPECT_FALSE(isRed(pixelIn(*image, *indicator, { 190, 8 }))) << "the part above the value is empty";
    indicator->setDoubleValue(7);
    EXPECT_TRUE(isAmber(pixelIn(*snapshot(), *indicator, { 20, 8 })));

    // Discrete: one segment per unit, lit up to the value.
    indicator->setLevelIndicatorStyle(LevelIndicatorStyle::DiscreteCapacity);
    indicator->setDoubleValue(3);
    image = snapshot("level-discrete");
    int lit = 0;
    for (int i = 0; i < 10; ++i)
        lit += isGreen(pixelIn(*image, *indicator, { 10 + 20.0 * i, 8 })) ? 1 : 0;
    EXPECT_EQ(lit, 3);
    EXPECT_NE(pixelIn(*image, *indicator, { 19.5, 8 }), pixelIn(*image, *indicator, { 10, 8 })) << "gaps between";
}

TEST_F(IndicatorTest, EditableRatingTakesWholeStars)
{
    auto rating = LevelIndicator::create({ 20, 100, 70, 14 });
    rating->setLevelIndicatorStyle(LevelIndicatorStyle::Rating);
    rating->setMaxValue(5);
    rating->setEditable(true);
    rating->setTarget(log);
    rating->setAction("clicked:");
    add(rating);
    // Star n (from 1) is 14 points wide.
    press(*rating, { 14 * 2.5, 7 });
    release(*rating, { 14 * 2.5, 7 });
    dispatch();
    EXPECT_EQ(rating->doubleValue(), 3);
    press(*rating, { 14 * 4.2, 7 });
    drag(*rating, { 14 * 1.5, 7 });
    release(*rating, { 14 * 1.5, 7 });
    dispatch();
    EXPECT_EQ(rating->doubleValue(), 2);
    press(*rating, { 1, 7 });
    release(*rating, { 1, 7 });
    dispatch();
    EXPECT_EQ(rating->doubleValue(), 0) << "left of the first star: none";
    EXPECT_EQ(log->count("clicked"), 3);
    window->makeFirstResponder(rating);
    key(fnd::String(std::u16string(1, FunctionKey::RightArrow)), KeyCode::RightArrow);
    EXPECT_EQ(rating->doubleValue(), 1);

    // A rating counts as highlighted whatever its flag, so unrated places show star outlines (reaching out to the
    // star's points) and never the small dot in the middle; the flag changes nothing.
    EXPECT_TRUE(rating->cell()->isHighlighted());
    auto plain = snapshot("rating");
    rating->setHighlighted(true);
    auto highlighted = snapshot();
    gfx::Rect lastStar { 20 + 56, 100, 14, 14 };
    EXPECT_EQ(differingShare(*plain, *highlighted, lastStar), 0);
    rating->setHidden(true);
    auto background = snapshot();
    rating->setHidden(false);
    // The outline's points lie near the square's edges, where a dot of 3 points in the middle never reaches.
    EXPECT_GT(differingShare(*plain, *background, { lastStar.minX(), lastStar.minY(), 14, 4 }), 0);
    EXPECT_GT(differingShare(*plain, *background, { lastStar.minX(), lastStar.maxY() - 4, 14, 4 }), 0);

    // Not editable: clicks change nothing.
    rating->setEditable(false);
    press(*rating, { 14 * 4.5, 7 });
    release(*rating, { 14 * 4.5, 7 });
    dispatch();
    EXPECT_EQ(rating->doubleValue(), 1);
}

}
