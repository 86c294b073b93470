#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTButton.h"
#include "frameworks/ZORAppKit/ZORThemedControls/ZORTImageCell.h"
#include "frameworks/ZORAppKit/ZORThemedControls/ZORTPopUpButtonCell.h"
#include "frameworks/ZORAppKit/ZORThemedControls/ZORTSegmentedCell.h"

#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"
#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "support/Canvas.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <functional>

namespace {

using namespace zortest;
using ui::BezelStyle;
using ui::ButtonType;
using ui::CellImagePosition;
using ui::ControlStateValue;
namespace State = ZORThemeState;

// Remembers the state masks it is asked for the text colour with.
class RecordingTheme : public ZORAbstractTheme {
public:
    gfx::ColorPtr textColorForBackgroundStyle(ZORBackgroundStyle style, ZORThemeStateMask mask) const override
    {
        masks.push_back(mask);
        return ZORAbstractTheme::textColorForBackgroundStyle(style, mask);
    }
    mutable std::vector<ZORThemeStateMask> masks;
};

class ZORTButtonCellTest : public ZORAppKitTest {
protected:
    std::shared_ptr<ZORTButton> button(const fnd::String& key, gfx::Rect frame = { 10, 10, 100, 30 })
    {
        auto b = ZORTButton::create(frame, {});
        b->setThemeKey(key);
        add(b);
        return b;
    }
};

// Every pixel of two pictures of the same size.
bool samePixels(const gfx::BitmapImageRep& a, const gfx::BitmapImageRep& b)
{
    auto pa = a.pixelBuffer(), pb = b.pixelBuffer();
    if (pa.width != pb.width || pa.height != pb.height)
        return false;
    for (int y = 0; y < pa.height; ++y)
        for (int x = 0; x < pa.width; ++x)
            if (pa.pixel(x, y) != pb.pixel(x, y))
                return false;
    return true;
}

TEST_F(ZORTButtonCellTest, WithoutARegisteredThemeEveryButtonDrawsAsThePlatformOne)
{
    auto picture = solidImage({ 16, 16 }, gfx::Color::colorWithDeviceRed(0.8, 0.1, 0.1), true);
    struct Setup {
        const char* name;
        std::function<void(ui::Button&)> apply;
    };
    const Setup setups[] = {
        { "push", [](ui::Button& b) { b.setTitle("Push"); } },
        { "pressed",
            [](ui::Button& b) {
                b.setTitle("Pressed");
                b.setHighlighted(true);
            } },
        { "image only",
            [&](ui::Button& b) {
                b.setBordered(false);
                b.setImage(picture);
                b.setImagePosition(CellImagePosition::ImageOnly);
            } },
        { "check box",
            [](ui::Button& b) {
                b.setButtonType(ButtonType::Switch);
                b.setTitle("Check");
                b.setState(ControlStateValue::On);
            } },
        { "recessed",
            [](ui::Button& b) {
                b.setBezelStyle(BezelStyle::Recessed);
                b.setTitle("Recessed");
                b.setEnabled(false);
            } },
    };
    for (const char* key : { "", "NoThemeRegisteredUnderThis" }) {
        for (const auto& setup : setups) {
            auto themed = button(key);
            auto plain = ui::Button::create({ 10, 50, 100, 30 }, {});
            add(plain);
            setup.apply(*themed);
            setup.apply(*plain);
            // Same masks as the themed cell, which highlights by grey and background from the start.
            plain->buttonCell()->setHighlightsBy(themed->buttonCell()->highlightsBy());
            plain->buttonCell()->setShowsStateBy(themed->buttonCell()->showsStateBy());
            auto a = shot(*themed, std::string("platform-themed-") + setup.name);
            auto b = shot(*plain, std::string("platform-plain-") + setup.name);
            EXPECT_TRUE(samePixels(*a, *b)) << setup.name << " with key \"" << key << "\"";
            themed->removeFromSuperview();
            plain->removeFromSuperview();
        }
    }
}

TEST_F(ZORTButtonCellTest, BorderlessCellsChangeTheirBackgroundAndInsetTheirImage)
{
    auto cell = fnd::makeObject<ZORTButtonCell>();
    cell->setThemeKey(ZORThemeKey::Glass);
    EXPECT_EQ(cell->highlightsBy(), 12u);
    cell->setButtonType(ButtonType::MomentaryChange);
    EXPECT_EQ(cell->highlightsBy(), 1u) << "bordered: the platform's masks";
    cell->setBordered(false);
    cell->setButtonType(ButtonType::MomentaryChange);
    EXPECT_EQ(cell->highlightsBy(), 9u) << "borderless: change background added";

    cell->setImage(solidImage({ 10, 10 }, gfx::Color::blackColor()));
    cell->setImagePosition(CellImagePosition::ImageOnly);
    const gfx::Rect bounds { 0, 0, 70, 35 };
    EXPECT_EQ(cell->imageRectForBounds(bounds), gfx::Rect(10, 5, 50, 25));
    cell->setHighlightBackgroundMode(1);
    EXPECT_EQ(cell->imageRectForBounds(bounds), gfx::Rect(20, 10, 30, 15)) << "glow: a 3.5th";
    cell->setHighlightsBy(ui::CellMask::Contents);
    EXPECT_EQ(cell->imageRectForBounds(bounds), gfx::Rect(10, 5, 50, 25)) << "glow without background change";
    cell->setBordered(true);
    EXPECT_EQ(cell->imageRectForBounds(bounds), cell->ButtonCell::imageRectForBounds(bounds));

    // Decoding ends with the same adjustment, in the pop-up cell too.
    const std::vector<std::shared_ptr<ui::ButtonCell>> decoded { fnd::makeObject<ZORTButtonCell>(),
        fnd::makeObject<ZORTPopUpButtonCell>() };
    for (const auto& borderless : decoded) {
        EXPECT_EQ(borderless->highlightsBy(), 12u);
        borderless->setBordered(false);
        borderless->setHighlightsBy(ui::CellMask::Contents);
        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(borderless));
        ASSERT_TRUE(data);
        auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->objectAs<ui::ButtonCell>()->highlightsBy(), 9u) << borderless->className().utf8();
    }
}

TEST_F(ZORTButtonCellTest, TheStateMaskIsDisabledPlusHighlighted)
{
    auto recording = std::make_shared<RecordingTheme>();
    ZORThemeManager::sharedThemeManager().setTheme(recording, "ZORTButtonCellTestRecording");
    auto b = button("ZORTButtonCellTestRecording");
    b->setBordered(false);
    b->setTitle("Mask");
    const struct {
        bool enabled, highlighted;
        ZORThemeStateMask mask;
    } cases[] = { { true, false, 0 }, { false, false, 1 }, { true, true, 4 }, { false, true, 5 } };
    for (const auto& c : cases) {
        b->setEnabled(c.enabled);
        b->setHighlighted(c.highlighted);
        recording->masks.clear();
        shot(*b, "mask");
        ASSERT_FALSE(recording->masks.empty());
        EXPECT_EQ(recording->masks.back(), c.mask) << "enabled " << c.enabled << ", highlighted " << c.highlighted;
    }
}

TEST_F(ZORTButtonCellTest, TitlesSitInsetInTheThemesColourAndShowTheAlternateAsTheMasksSay)
{
    auto b = button(ZORThemeKey::FlatDark);
    auto cell = b->themedCell();
    {
        Canvas canvas(100, 30, true);
        auto text = txt::AttributedString("Title");
        EXPECT_EQ(cell->drawTitle(text, { 0, 0, 100, 30 }, *b), gfx::Rect(5, 0, 90, 28));
        cell->setButtonType(ButtonType::Switch);
        EXPECT_EQ(cell->drawTitle(text, { 0, 0, 100, 30 }, *b), gfx::Rect(0, 0, 100, 30));
        cell->setButtonType(ButtonType::MomentaryPushIn);
        // Nothing to draw: the rectangle is still answered.
        EXPECT_EQ(cell->drawTitle(txt::AttributedString(), { 0, 0, 100, 30 }, *b), gfx::Rect(5, 0, 90, 28));
    }

    // A borderless title over nothing shows the theme's text colour: white, faint when disabled.
    b->setBordered(false);
    b->setTitle("Hello");
    auto brightest = [&](const char* name) {
        auto image = shot(*b, name);
        int best = 0;
        bool white = true;
        for (double y = 0.5; y < 30; ++y) {
            for (double x = 0.5; x < 100; ++x) {
                auto p = pixelAt(*image, *b, { x, y });
                best = std::max<int>(best, gfx::alphaOf(p));
                white = white && gfx::redOf(p) == gfx::alphaOf(p) && gfx::blueOf(p) == gfx::alphaOf(p);
            }
        }
        EXPECT_TRUE(white) << name;
        return best;
    };
    EXPECT_GT(brightest("title-enabled"), 240);
    b->setEnabled(false);
    EXPECT_NEAR(brightest("title-disabled"), 51, 3) << "white at the theme's disabled alpha 0.2";
    b->setEnabled(true);

    // Momentary change (shows no state, highlights by contents) shows its alternate title while pressed; a toggle
    // while on. The alternate here is much wider than the title.
    auto ink = [&](const char* name) { return paintedPixels(*shot(*b, name), *b, b->bounds()); };
    b->setBordered(true);
    b->setBezelStyle(BezelStyle::RegularSquare);
    b->setButtonType(ButtonType::MomentaryChange);
    b->setTitle("i");
    b->setAlternateTitle("WWWWWW");
    int plain = ink("alternate-off");
    b->setHighlighted(true);
    EXPECT_GT(ink("alternate-pressed"), plain * 3);
    b->setHighlighted(false);
    b->setButtonType(ButtonType::Toggle);
    b->setState(ControlStateValue::On);
    EXPECT_GT(ink("alternate-on"), plain * 3);
}

// Every themed cell keeps its key through a copy and a keyed archive; the button cell also its modes, but never its
// border sides.
TEST_F(ZORTButtonCellTest, ThemedCellsCopyAndArchiveTheirKeyAndModesButNotTheBorderSides)
{
    auto button = fnd::makeObject<ZORTButtonCell>();
    button->setButtonType(ButtonType::Toggle);
    button->setHighlightBackgroundMode(2);
    button->setStateBackgroundMode(1);
    button->setBorderSideMask(ZORThemeDrawing::BorderSide::Left | ZORThemeDrawing::BorderSide::Top);
    auto popUp = fnd::makeObject<ZORTPopUpButtonCell>();
    popUp->setHighlightBackgroundMode(1);
    popUp->setBorderSideMask(ZORThemeDrawing::BorderSide::Right);
    std::vector<std::shared_ptr<ui::Cell>> cells { button, popUp, fnd::makeObject<ZORTSegmentedCell>(),
        fnd::makeObject<ZORTImageCell>() };
    for (const auto& cell : cells) {
        auto themed = std::dynamic_pointer_cast<ZORThemedObject>(cell);
        ASSERT_TRUE(themed);
        themed->setThemeKey(ZORThemeKey::HUD);
        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(cell));
        ASSERT_TRUE(data);
        auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
        ASSERT_TRUE(back) << back.error().localizedDescription();
        for (const auto& other : { cell->copy(), back->objectAs<ui::Cell>() }) {
            ASSERT_TRUE(other);
            EXPECT_EQ(other->className(), cell->className());
            EXPECT_EQ(std::dynamic_pointer_cast<ZORThemedObject>(other)->themeKey(), ZORThemeKey::HUD);
            if (auto b = std::dynamic_pointer_cast<ZORTButtonCell>(other)) {
                EXPECT_EQ(b->highlightBackgroundMode(), 2u);
                EXPECT_EQ(b->stateBackgroundMode(), 1u);
                EXPECT_EQ(b->buttonType(), ButtonType::Toggle);
                EXPECT_EQ(b->borderSideMask(), 0u);
            }
            if (auto p = std::dynamic_pointer_cast<ZORTPopUpButtonCell>(other)) {
                EXPECT_EQ(p->highlightBackgroundMode(), 1u);
                EXPECT_EQ(p->borderSideMask(), 0u);
            }
        }
    }
}

// Where each themed bezel style puts its fill, and the point sampled in it (a cell of 100 × 30, regular size).
struct BezelCase {
    BezelStyle style;
    const char* name;
    // The rectangle the gradient spans (the path's bounds), or the fill's point for the solid styles.
    gfx::Rect fillBounds;
    gfx::Point sample;
    bool solid;
};

const BezelCase BezelCases[] = {
    { BezelStyle::TexturedRounded, "textured", { 1.5, 1.5, 97, 26 }, { 12.5, 9.5 }, false },
    { BezelStyle::RoundRect, "roundrect", { 1.5, 0.5, 97, 27 }, { 50.5, 9.5 }, false },
    { BezelStyle::SmallSquare, "smallsquare", { 1.5, 0.5, 97, 27 }, { 12.5, 9.5 }, false },
    { BezelStyle::Rounded, "rounded", { 4.5, 4.5, 91, 17 }, { 50.5, 13.5 }, true },
};

TEST_F(ZORTButtonCellTest, BorderedButtonsDrawTheirThemedBezelInEveryThemeAndState)
{
    struct StateCase {
        const char* name;
        ButtonType type;
        bool highlighted, on, enabled;
        ZORThemeStateMask fill;
    };
    const StateCase states[] = {
        { "normal", ButtonType::MomentaryPushIn, false, false, true, 0 },
        { "pressed", ButtonType::MomentaryPushIn, true, false, true, State::Pressed },
        { "selected", ButtonType::PushOnPushOff, false, true, true, State::On },
        { "disabled", ButtonType::MomentaryPushIn, false, false, false, State::Disabled },
    };
    for (const auto& key : themeKeys()) {
        auto theme = themeNamed(key);
        for (const auto& bezel : BezelCases) {
            for (const auto& s : states) {
                auto b = button(key);
                b->setBezelStyle(bezel.style);
                b->setButtonType(s.type);
                b->setHighlighted(s.highlighted);
                b->setState(s.on ? ControlStateValue::On : ControlStateValue::Off);
                b->setEnabled(s.enabled);
                auto name = key.utf8() + "-" + bezel.name + "-" + s.name;
                auto image = shot(*b, "bezel-" + name);
                std::uint32_t expected = 0;
                if (bezel.solid) {
                    if (s.enabled)
                        expected = pixelOf(theme->fillColorForStateMask(s.fill));
                } else {
                    auto gradient = bezel.style == BezelStyle::SmallSquare ? theme->complexGradientForStateMask(s.fill)
                                                                           : theme->gradientForStateMask(s.fill);
                    double t = (bezel.sample.y - bezel.fillBounds.minY()) / bezel.fillBounds.height();
                    if (gradient)
                        expected = pixelOf(gradient->interpolatedColorAtLocation(t));
                }
                EXPECT_TRUE(pixelNear(pixelAt(*image, *b, bezel.sample), expected, 3)) << name;
                // The bezel is drawn: an outlined style strokes its outline on the shape's left edge.
                if (!bezel.solid && theme->strokeColorForStateMask(s.enabled ? 0 : 1)) {
                    double edge = std::floor(bezel.fillBounds.minX());
                    double middle = bezel.fillBounds.midY();
                    EXPECT_NE(pixelAt(*image, *b, { edge + 0.5, middle }), 0u) << name;
                    // (The small square style casts its shadow whenever it is enabled.)
                    if (bezel.style != BezelStyle::SmallSquare) {
                        EXPECT_EQ(pixelAt(*image, *b, { 0.5, middle }), 0u) << name << ": outside the bezel";
                    }
                }
                b->removeFromSuperview();
            }
        }
    }
}

TEST_F(ZORTButtonCellTest, RecessedButtonsLightUpUnderThePointerAndShowPressedColoursWhileOn)
{
    auto theme = themeNamed(ZORThemeKey::FlatDark);
    auto b = button(ZORThemeKey::FlatDark);
    b->setBezelStyle(BezelStyle::Recessed);
    b->setButtonType(ButtonType::PushOnPushOff);
    auto cell = b->themedCell();
    const gfx::Point middle { 50.5, 14.5 };
    auto fillAt = [&](const char* name) { return pixelAt(*shot(*b, std::string("recessed-") + name), *b, middle); };

    EXPECT_TRUE(pixelNear(fillAt("resting"), pixelOf(theme->fillColorForStateMask(0))));
    auto enter = ui::Event::enterExitEventWithType(ui::EventType::MouseEntered, {}, 0, 0, 0, 0, 0, {});
    cell->mouseEntered(*enter);
    EXPECT_TRUE(cell->isMouseIn());
    EXPECT_TRUE(cell->isHighlighted());
    EXPECT_TRUE(pixelNear(fillAt("hovered"), pixelOf(theme->fillColorForStateMask(State::On))));
    cell->setState(ControlStateValue::On);
    EXPECT_TRUE(pixelNear(fillAt("on"), pixelOf(theme->fillColorForStateMask(State::Pressed))));
    EXPECT_FALSE(cell->isMouseIn()) << "being on forgets the pointer";
    auto exit = ui::Event::enterExitEventWithType(ui::EventType::MouseExited, {}, 0, 0, 0, 0, 0, {});
    cell->mouseExited(*exit);
    EXPECT_FALSE(cell->isHighlighted());
    b->setEnabled(false);
    EXPECT_EQ(fillAt("disabled"), 0u) << "a disabled capsule is not filled";

    // Other styles leave the highlight alone when the pointer comes and goes.
    b->setBezelStyle(BezelStyle::TexturedRounded);
    cell->mouseEntered(*enter);
    EXPECT_FALSE(cell->isHighlighted());
}

TEST_F(ZORTButtonCellTest, CheckBoxesAndRadioButtonsDrawTheirBoxWithTheTheme)
{
    auto theme = themeNamed(ZORThemeKey::FlatDark);
    auto b = button(ZORThemeKey::FlatDark, { 10, 10, 120, 20 });
    b->setButtonType(ButtonType::Switch);
    b->setTitle("Check");
    // Regular: the frame moves by (0.5, 0.5); the box is 2 points in and 2 down, 13 by 12.
    const gfx::Rect box { 2.5, 2.5, 13, 12 };
    auto off = shot(*b, "check-off");
    auto fill = theme->gradientForStateMask(0);
    ASSERT_TRUE(fill);
    double t = (8.5 - box.minY()) / box.height();
    EXPECT_TRUE(pixelNear(pixelAt(*off, *b, { 5.5, 8.5 }), pixelOf(fill->interpolatedColorAtLocation(t)), 3));
    // The outline in the stroke colour (opaque in this theme) covers the box's left column.
    EXPECT_TRUE(pixelNear(pixelAt(*off, *b, { 2.5, 8.5 }), pixelOf(theme->strokeColorForStateMask(0)), 3));
    // The title starts after the box and a gap of 5, in white.
    EXPECT_EQ(paintedPixels(*off, *b, { 16, 0, 4, 20 }), 0);
    EXPECT_GT(paintedPixels(*off, *b, { 20.5, 0, 40, 20 }), 20);

    b->setState(ControlStateValue::On);
    auto on = shot(*b, "check-on");
    // The tick runs through (bx + bw/2, my + 2): the stroke colour there.
    EXPECT_TRUE(pixelNear(pixelAt(*on, *b, { 9.0, 10.5 }), pixelOf(theme->strokeColorForStateMask(0)), 40));
    EXPECT_NE(pixelAt(*on, *b, { 9.0, 10.5 }), pixelAt(*off, *b, { 9.0, 10.5 }));

    // A radio button is round: its box's corner stays empty; on, a filled dot sits in the middle.
    b->setButtonType(ButtonType::Radio);
    auto radio = shot(*b, "radio-on");
    EXPECT_EQ(pixelAt(*radio, *b, { 2.2, 2.2 }), 0u);
    EXPECT_TRUE(pixelNear(pixelAt(*radio, *b, { 9.0, 9.0 }), pixelOf(theme->strokeColorForStateMask(0)), 3));
}

TEST_F(ZORTButtonCellTest, CheckBoxesInAMatrixSitInTheirOwnRows)
{
    auto theme = themeNamed(ZORThemeKey::FlatDark);
    auto prototype = fnd::makeObject<ZORTButtonCell>();
    prototype->setButtonType(ButtonType::Switch);
    prototype->setTitle("Row");
    prototype->setThemeKey(ZORThemeKey::FlatDark);
    auto matrix = ui::Matrix::create({ 10, 10, 120, 62 }, prototype);
    matrix->setCellSize({ 120, 20 });
    matrix->setIntercellSpacing({ 0, 1 });
    matrix->renewRows(3, 1);
    add(matrix);
    auto picture = shot(*matrix, "matrix");
    auto fill = theme->gradientForStateMask(0);
    ASSERT_TRUE(fill);
    // Row r's frame starts at 21 r (flipped). Centred in a third of the matrix: the box moves by
    // 62 / 2 / 3 - 20 / 2 = 1/3 from the frame's edge, plus (0.5, 0.5) and 2 down: 13 by 12 from y = 21 r + 2.83.
    const double shift = 62.0 / 2 / 3 - 10;
    for (int row = 0; row < 3; ++row) {
        const double top = 21.0 * row + 0.5 + shift + 2;
        const double y = top + 6;
        const double t = (y - top) / 12;
        EXPECT_TRUE(pixelNear(pixelAt(*picture, *matrix, { 5.5, y }), pixelOf(fill->interpolatedColorAtLocation(t)), 3))
            << "row " << row;
    }
    // Nothing of a box outside the three rows' boxes: the column left of the titles is empty between them.
    EXPECT_EQ(paintedPixels(*picture, *matrix, { 0, 16, 16, 4 }), 0);
    EXPECT_EQ(paintedPixels(*picture, *matrix, { 0, 58, 16, 4 }), 0);
}

TEST_F(ZORTButtonCellTest, HighlightedBackgroundsFillGlowOrShadeTheFrame)
{
    auto theme = themeNamed(ZORThemeKey::Glass);
    auto red = gfx::Color::colorWithDeviceRed(1, 0, 0);
    auto b = button(ZORThemeKey::Glass, { 10, 10, 70, 70 });
    b->setBordered(false);
    b->setImage(solidImage({ 10, 10 }, red));
    b->setImagePosition(CellImagePosition::ImageOnly);
    // The image fills (10, 10, 50, 50) of the button.
    b->setHighlighted(true);

    // Fill: the theme's fill colour over what lies beneath (the window's background), not beside the frame; the
    // image comes after it.
    auto filled = windowShot("highlight-fill");
    auto background = windowPixel(*filled, *b, { -3, 35 });
    auto tinted = windowPixel(*filled, *b, { 3, 35 });
    auto fill = theme->fillColorForStateMask(State::On)->rgba();
    auto expectChannel = [&](int shift, double channel) {
        double under = ((background >> shift) & 0xFF) / 255.0;
        return std::lround(255 * (channel * fill[3] + under * (1 - fill[3])));
    };
    EXPECT_NEAR(gfx::redOf(tinted), expectChannel(16, fill[0]), 2);
    EXPECT_NEAR(gfx::greenOf(tinted), expectChannel(8, fill[1]), 2);
    EXPECT_TRUE(pixelNear(windowPixel(*filled, *b, { 35, 35 }), argb(255, 255, 0, 0)));

    // Gradient: the theme's gradient fills the frame at its angle.
    b->setHighlightBackgroundMode(2);
    auto shaded = shot(*b, "highlight-gradient");
    auto gradient = theme->gradientForStateMask(State::On);
    EXPECT_TRUE(
        pixelNear(pixelAt(*shaded, *b, { 3.5, 20.5 }), pixelOf(gradient->interpolatedColorAtLocation(20.5 / 70)), 3));

    // Glow: a halo of the fill colour around the image, which is inset a 3.5th (20 points) now.
    b->setHighlightBackgroundMode(1);
    auto glowing = shot(*b, "highlight-glow");
    EXPECT_TRUE(pixelNear(pixelAt(*glowing, *b, { 35, 35 }), argb(255, 255, 0, 0)));
    auto near = gfx::alphaOf(pixelAt(*glowing, *b, { 18.5, 35 }));
    EXPECT_GT(near, 0) << "the halo beside the image";
    EXPECT_LT(gfx::alphaOf(pixelAt(*glowing, *b, { 8.5, 35 })), near) << "fading away from it";
    b->setHighlighted(false);
    EXPECT_EQ(pixelAt(*shot(*b, "highlight-none"), *b, { 18.5, 35 }), 0u);
}

}
