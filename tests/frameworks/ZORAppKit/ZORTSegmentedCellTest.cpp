#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTSegmentedCell.h"

#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "support/Canvas.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/ui/controls/SegmentedControl.h"

#include <cmath>

namespace {

using namespace zortest;
using ui::SegmentStyle;
namespace State = ZORThemeState;

class OutlinelessTheme : public ZORAbstractTheme {
public:
    gfx::ColorPtr strokeColorForStateMask(ZORThemeStateMask) const override { return nullptr; }
};

// A half-transparent black outline and no fills, so that what the outline lays down shows alone.
class TranslucentOutlineTheme : public ZORAbstractTheme {
public:
    gfx::ColorPtr strokeColorForStateMask(ZORThemeStateMask) const override
    {
        return gfx::Color::colorWithCalibratedWhite(0, 0.5);
    }
    std::shared_ptr<gfx::Gradient> gradientForStateMask(ZORThemeStateMask) const override { return nullptr; }
};

// The same, casting a hard black shadow 3 points to the right.
class ShadowedTranslucentOutlineTheme : public TranslucentOutlineTheme {
public:
    bool applyShadows() const override { return true; }
    std::shared_ptr<gfx::Shadow> dropShadowForBackgroundStyle(ZORBackgroundStyle) const override
    {
        auto shadow = std::make_shared<gfx::Shadow>();
        shadow->setShadowOffset({ 3, 0 });
        shadow->setShadowColor(gfx::Color::blackColor());
        return shadow;
    }
};

// A subclass that draws its segments itself: it notes each and leaves the middle one empty.
class OwnSegmentsCell : public ZORTSegmentedCell {
    UI_CELL_OBJECT(OwnSegmentsCell)

public:
    void drawSegment(long segment, gfx::Rect frame, ui::View& controlView) override
    {
        drawn.emplace_back(segment, frame);
        if (segment != 1)
            ZORTSegmentedCell::drawSegment(segment, frame, controlView);
    }
    std::vector<std::pair<long, gfx::Rect>> drawn;
};

FND_REGISTER_CLASS(OwnSegmentsCell, ZORTSegmentedCell)

class ZORTSegmentedCellTest : public ZORAppKitTest {
protected:
    // Three segments 40 points wide in a control of 150 × 24, so the last one ends well inside it.
    std::shared_ptr<ui::SegmentedControl> strip(
        const fnd::String& key, std::shared_ptr<ZORTSegmentedCell> cell = fnd::makeObject<ZORTSegmentedCell>())
    {
        auto control = ui::SegmentedControl::create({ 10, 10, 150, 24 });
        cell->setThemeKey(key);
        control->setCell(cell);
        control->setSegmentCount(3);
        for (long i = 0; i < 3; ++i)
            control->setWidth(40, i);
        add(control);
        return control;
    }
    static std::shared_ptr<ZORTSegmentedCell> cellOf(const ui::SegmentedControl& control)
    {
        return std::dynamic_pointer_cast<ZORTSegmentedCell>(control.cell());
    }
};

TEST_F(ZORTSegmentedCellTest, OnlyRoundedAndSmallSquareStylesAreTaken)
{
    std::vector<std::string> logged;
    auto previous
        = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& message) { logged.push_back(message.utf8()); });
    auto cell = fnd::makeObject<ZORTSegmentedCell>();
    EXPECT_EQ(cell->segmentStyle(), SegmentStyle::Rounded);
    cell->setSegmentStyle(SegmentStyle::TexturedRounded);
    EXPECT_EQ(cell->segmentStyle(), SegmentStyle::Rounded);
    cell->setSegmentStyle(SegmentStyle::SmallSquare);
    EXPECT_EQ(cell->segmentStyle(), SegmentStyle::SmallSquare);
    cell->setSegmentStyle(SegmentStyle::Capsule);
    cell->setSegmentStyle(SegmentStyle::Rounded);
    EXPECT_EQ(cell->segmentStyle(), SegmentStyle::Rounded);
    fnd::setLogSink(previous);
    EXPECT_EQ(logged, (std::vector<std::string>(2, "Warning: unsupported segment style for:ZORTSegmentedCell")));

    EXPECT_FALSE(cell->hasText());
    cell->setSegmentCount(2);
    cell->setLabel("", 0);
    EXPECT_FALSE(cell->hasText());
    cell->setLabel("B", 1);
    EXPECT_TRUE(cell->hasText());
}

TEST_F(ZORTSegmentedCellTest, SegmentsFillWithTheThemesGradientsAndSeparateAllButTheLast)
{
    for (const auto& key : themeKeys()) {
        auto theme = themeNamed(key);
        auto control = strip(key);
        control->setSelectedSegment(1);
        auto cell = cellOf(*control);
        auto image = shot(*control, "segments-" + key.utf8());
        auto frame = control->bounds();
        auto r = cell->drawingRectForBounds(frame);
        auto stroke = theme->strokeColorForStateMask(0);
        ASSERT_TRUE(stroke);
        for (long i = 0; i < 3; ++i) {
            auto rect = gfx::intersectionRect(cell->rectForSegment(i, frame), r);
            auto gradient = theme->gradientForStateMask(i == 1 ? State::On : 0);
            const gfx::Point inside { std::floor(rect.minX()) + 4.5, 5.5 };
            double t = (inside.y - rect.minY()) / rect.height();
            auto expected = gradient ? pixelOf(gradient->interpolatedColorAtLocation(t)) : 0u;
            EXPECT_TRUE(pixelNear(pixelAt(*image, *control, inside), expected, 3)) << key.utf8() << " segment " << i;
            // The separator straddles the segment's right edge, in the stroke colour, on all but the last; nothing
            // is drawn after the last segment.
            auto edge = pixelAt(*image, *control, { rect.maxX() - 0.25, 12.5 });
            auto plain
                = gradient ? pixelOf(gradient->interpolatedColorAtLocation((12.5 - rect.minY()) / rect.height())) : 0u;
            if (i < 2) {
                EXPECT_FALSE(pixelNear(edge, plain, 3)) << key.utf8() << " separator " << i;
            } else {
                EXPECT_TRUE(pixelNear(edge, plain, 3)) << key.utf8() << " no separator after the last segment";
                EXPECT_EQ(pixelAt(*image, *control, { rect.maxX() + 0.5, 12.5 }), 0u) << key.utf8();
            }
        }
        // Nothing beyond the outline.
        EXPECT_EQ(paintedPixels(*image, *control, { r.maxX() + 2, 0, 10, 24 }), 0) << key.utf8();

        // Disabled: every segment shows the disabled gradient.
        control->setEnabled(false);
        auto disabled = shot(*control, "segments-disabled-" + key.utf8());
        auto rect = gfx::intersectionRect(cell->rectForSegment(1, frame), r);
        auto gradient = theme->gradientForStateMask(State::Disabled);
        double t = (5.5 - rect.minY()) / rect.height();
        EXPECT_TRUE(pixelNear(pixelAt(*disabled, *control, { std::floor(rect.minX()) + 4.5, 5.5 }),
            gradient ? pixelOf(gradient->interpolatedColorAtLocation(t)) : 0u, 3))
            << key.utf8();
        control->removeFromSuperview();
    }
}

// Each segment is drawn by drawSegment, which a subclass may take over: in its rectangle cut to the outline with a
// theme, in its plain rectangle without one.
TEST_F(ZORTSegmentedCellTest, EachSegmentIsDrawnByAStepASubclassMayOverride)
{
    for (const auto& [key, themed] :
        { std::pair(fnd::String("ZORGrayTheme"), true), std::pair(fnd::String("None"), false) }) {
        auto cell = fnd::makeObject<OwnSegmentsCell>();
        auto control = strip(key, cell);
        auto image = shot(*control, "segments-own-" + key.utf8());
        auto frame = control->bounds();
        ASSERT_EQ(cell->drawn.size(), 3u) << key.utf8();
        for (long i = 0; i < 3; ++i) {
            auto rect = cell->rectForSegment(i, frame);
            if (themed)
                rect = gfx::intersectionRect(rect, cell->drawingRectForBounds(frame));
            EXPECT_EQ(cell->drawn[std::size_t(i)], std::pair(i, rect)) << key.utf8() << " segment " << i;
        }
        if (themed) {
            // The first segment wears the grey theme's gradient; the middle one shows only what lies beneath.
            auto first = cell->drawn[0].second, middle = cell->drawn[1].second;
            EXPECT_NE(pixelAt(*image, *control, { first.midX(), 5.5 }), 0u);
            EXPECT_EQ(paintedPixels(*image, *control, gfx::insetRect(middle, 4, 4)), 0);
        }
        control->removeFromSuperview();
    }
}

TEST_F(ZORTSegmentedCellTest, AThemeWithoutAStrokeColourDrawsNothing)
{
    ZORThemeManager::sharedThemeManager().setTheme(std::make_shared<OutlinelessTheme>(), "ZORTSegmentedOutlineless");
    auto control = strip("ZORTSegmentedOutlineless");
    control->setLabel("Label", 0);
    EXPECT_EQ(paintedPixels(*shot(*control, "segments-outlineless"), *control, control->bounds()), 0);
}

// The outline is laid once: a half-transparent outline one point wide shows half its colour's worth of ink across
// its left edge, which lies inside the control (laid twice, over its own first pass, it shows three quarters more),
// in either style, and a shadow is cast outside the line without darkening it.
TEST_F(ZORTSegmentedCellTest, TheOutlineIsStrokedOnce)
{
    auto& themes = ZORThemeManager::sharedThemeManager();
    themes.setTheme(std::make_shared<TranslucentOutlineTheme>(), "ZORTSegmentedTranslucent");
    themes.setTheme(std::make_shared<ShadowedTranslucentOutlineTheme>(), "ZORTSegmentedTranslucentShadowed");
    for (const char* key : { "ZORTSegmentedTranslucent", "ZORTSegmentedTranslucentShadowed" }) {
        for (auto style : { SegmentStyle::SmallSquare, SegmentStyle::Rounded }) {
            auto control = strip(key);
            auto cell = cellOf(*control);
            cell->setSegmentStyle(style);
            auto image = shot(*control, std::string(key) + "-" + std::to_string(int(style)));
            auto r = cell->drawingRectForBounds(control->bounds());
            ASSERT_GE(r.minX(), 2) << "the whole line lies inside the control";
            const double y = std::floor(r.midY()) + 0.5;
            int ink = 0;
            for (int i = -2; i <= 2; ++i)
                ink += int(pixelAt(*image, *control, { r.minX() + i + 0.5, y }) >> 24);
            EXPECT_NEAR(ink, 128, 6) << key << ", style " << int(style);
            const bool shadowed = std::string(key).ends_with("Shadowed");
            EXPECT_EQ(pixelAt(*image, *control, { r.maxX() + 3, y }) >> 24 > 0, shadowed) << key;
            control->removeFromSuperview();
        }
    }
}

// Asked by name, as the platform's steps ask a segmented cell, the cell answers that it neither animates nor slides.
TEST_F(ZORTSegmentedCellTest, TheCellAnswersThatItNeverAnimatesNorSlides)
{
    auto cell = fnd::makeObject<ZORTSegmentedCell>();
    for (auto style : { SegmentStyle::Rounded, SegmentStyle::SmallSquare }) {
        cell->setSegmentStyle(style);
        for (const char* selector : { "_canAnimate", "_isSliderStyle" }) {
            ASSERT_TRUE(cell->respondsTo(selector)) << selector;
            EXPECT_EQ(cell->perform(selector), fnd::Value(false)) << selector;
        }
    }
}

TEST_F(ZORTSegmentedCellTest, LabelsAndImagesAreCentredAtTheThemesAlpha)
{
    auto theme = themeNamed(ZORThemeKey::FlatDark);
    auto cell = fnd::makeObject<ZORTSegmentedCell>();
    cell->setThemeKey(ZORThemeKey::FlatDark);
    cell->setSegmentCount(2);

    // A centred label that would start left of x = 3 starts there.
    {
        Canvas canvas(60, 24, true);
        cell->setLabel("WWWWWW", 0);
        cell->drawInteriorForSegment(0, { 0, 0, 20, 24 });
        int leftInk = 0, rightInk = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 3; ++x)
                leftInk += canvas.alpha(x, y);
            for (int x = 3; x < 8; ++x)
                rightInk += canvas.alpha(x, y);
        }
        EXPECT_EQ(leftInk, 0);
        EXPECT_GT(rightInk, 0);
    }

    // An image is drawn 4 points shorter than the segment (keeping its proportions) over what is there, at the
    // theme's alpha for the cell's state; the image itself keeps its size.
    auto red = solidImage({ 40, 40 }, gfx::Color::colorWithDeviceRed(1, 0, 0));
    cell->setImage(red, 1);
    for (bool enabled : { true, false }) {
        cell->setEnabled(enabled);
        Canvas canvas(60, 24, true);
        gfx::Color::whiteColor()->setFill();
        gfx::BezierPath::fillRect({ 0, 0, 60, 24 });
        cell->drawInteriorForSegment(1, { 0, 0, 60, 24 });
        double alpha = theme->alphaValueForStateMask(enabled ? 0 : State::Disabled);
        auto g = static_cast<unsigned>(std::lround(255 * (1 - alpha)));
        // A 20-point square centred in the segment: x 20 to 40, y 2 to 22.
        EXPECT_TRUE(pixelNear(canvas.at(30, 12), argb(255, 255, g, g), 2)) << "enabled " << enabled;
        EXPECT_TRUE(pixelNear(canvas.at(20, 12), argb(255, 255, g, g), 2));
        EXPECT_TRUE(pixelNear(canvas.at(19, 12), argb(255, 255, 255, 255), 2));
        EXPECT_TRUE(pixelNear(canvas.at(40, 12), argb(255, 255, 255, 255), 2));
        EXPECT_TRUE(pixelNear(canvas.at(30, 22), argb(255, 255, 255, 255), 2));
    }
    EXPECT_EQ(red->size(), gfx::Size(40, 40)) << "drawing leaves the image alone";

    // Beside a label: image, 5 points, label, the pair centred. (Black text in this theme, over white.)
    cell->setThemeKey(ZORThemeKey::Glass);
    cell->setEnabled(true);
    cell->setLabel("Go", 1);
    Canvas canvas(100, 24, true);
    gfx::Color::whiteColor()->setFill();
    gfx::BezierPath::fillRect({ 0, 0, 100, 24 });
    cell->drawInteriorForSegment(1, { 0, 0, 100, 24 });
    int firstRed = -1, firstDark = -1;
    for (int x = 0; x < 100; ++x) {
        for (int y = 0; y < 24; ++y) {
            auto p = canvas.at(x, y);
            if (firstRed < 0 && gfx::redOf(p) > 200 && gfx::greenOf(p) < 150)
                firstRed = x;
            if (firstDark < 0 && gfx::redOf(p) < 100 && gfx::greenOf(p) < 100)
                firstDark = x;
        }
    }
    auto labelWidth = txt::AttributedString("Go",
        fnd::Dictionary { { txt::FontAttributeName,
            fnd::Value(gfx::Font::controlContentFontOfSize(
                gfx::Font::systemFontSizeForControlSize(ui::ControlSize::Regular))) } })
                          .boundingRectWithSize({ 1e7, 1e7 })
                          .width();
    double imageX = 50 - (std::ceil(labelWidth) + 20 + 5) / 2;
    EXPECT_NEAR(firstRed, std::floor(imageX), 1) << "label width " << labelWidth;
    EXPECT_NEAR(firstDark, imageX + 25, 2);
}

}
