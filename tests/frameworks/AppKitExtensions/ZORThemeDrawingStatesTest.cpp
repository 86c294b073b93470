// Every drawing operation of every theme in every state, checked by its pixels: it stays inside its rectangle (a
// shadow the theme casts aside), and two states look different exactly when the theme answers differently for
// them. The states are also written side by side to a PNG sheet per theme, to be looked at.
#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"
#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "DrawingTestSupport.h"

#include "platform/graphics/BezierPath.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace D = ZORThemeDrawing;
using gfx::ControlSize;

// The five states a cell passes, as in the controls: mask of the outline, mask of the fill, enabled, cell state,
// and whether the pointer is down in it.
struct ThemeStatesLook {
    const char* name;
    ZORThemeStateMask stateMask;
    ZORThemeStateMask fillMask;
    bool enabled;
    long state;
    bool pressed;
};

const ThemeStatesLook ThemeStatesLooks[] = {
    { "normal", 0, 0, true, 0, false },
    { "pressed", ZORThemeState::On, ZORThemeState::Pressed, true, 0, true },
    { "selected", 0, ZORThemeState::On, true, 1, false },
    { "disabled", ZORThemeState::Disabled, ZORThemeState::Disabled, false, 0, false },
    { "inactive", ZORThemeState::Inactive, ZORThemeState::Inactive, true, 0, false },
};

// What an operation takes from the theme in one state, written out, and the shadow it casts there.
struct ThemeStatesInputs {
    std::string text;
    std::shared_ptr<gfx::Shadow> shadow {};
};

std::string themeStatesText(const gfx::ColorPtr& color)
{
    if (!color)
        return "none";
    auto c = color->rgba();
    return fmt::format("({:.6f} {:.6f} {:.6f} {:.6f})", c[0], c[1], c[2], c[3]);
}

std::string themeStatesText(const std::shared_ptr<gfx::Gradient>& gradient)
{
    if (!gradient)
        return "none";
    std::string out = "[";
    for (const auto& stop : gradient->stops())
        out += fmt::format("{:.6f}:({:.6f} {:.6f} {:.6f} {:.6f}) ", stop.location, stop.rgba[0], stop.rgba[1],
            stop.rgba[2], stop.rgba[3]);
    return out + "]";
}

std::string themeStatesText(const std::shared_ptr<gfx::Shadow>& shadow)
{
    if (!shadow)
        return "none";
    return fmt::format("shadow {} {} {} {}", shadow->shadowOffset().width, shadow->shadowOffset().height,
        shadow->shadowBlurRadius(), themeStatesText(shadow->shadowColor()));
}

ThemeStatesInputs themeStatesWithShadow(std::string text, std::shared_ptr<gfx::Shadow> shadow)
{
    text += " " + themeStatesText(shadow);
    return { std::move(text), std::move(shadow) };
}

// An outlined bezel: the dark line (casting the shadow), the fill, the outline.
ThemeStatesInputs themeStatesOutlined(
    const ZORTheme& t, ZORThemeStateMask mask, const std::shared_ptr<gfx::Gradient>& fill, bool castsShadow)
{
    return themeStatesWithShadow(themeStatesText(t.darkStrokeColorForStateMask(mask)) + " "
            + themeStatesText(t.strokeColorForStateMask(mask)) + " " + themeStatesText(fill),
        castsShadow ? t.dropShadow() : nullptr);
}

ThemeStatesInputs themeStatesCheck(const ZORTheme& t, const ThemeStatesLook& s)
{
    ZORThemeStateMask fill = !s.enabled ? ZORThemeState::Disabled : s.pressed ? ZORThemeState::On : 0;
    auto inputs = themeStatesOutlined(t, s.stateMask, t.gradientForStateMask(fill), s.enabled && t.applyShadows());
    inputs.text += fmt::format(" mark {}", s.state);
    return inputs;
}

struct ThemeStatesOperation {
    const char* name;
    double height;
    // How far the operation may reach past its frame: half the line of an outline centred on the frame's edge.
    double outlineReach;
    std::function<ThemeStatesInputs(const ZORTheme&, const ThemeStatesLook&)> inputs;
    std::function<void(const ZORTheme&, gfx::Rect, const ThemeStatesLook&)> draw;
};

D::BezelState themeStatesBezel(const ThemeStatesLook& s)
{
    return { s.stateMask, s.fillMask, ControlSize::Regular, s.enabled };
}

D::CheckState themeStatesCheckState(const ThemeStatesLook& s)
{
    return { s.stateMask, ControlSize::Regular, s.enabled, s.pressed, s.state, 2, 0 };
}

ZORThemeStateMask themeStatesRecessedFill(const ThemeStatesLook& s)
{
    return s.enabled ? D::recessedFillMask(s.state == 1, s.pressed) : ZORThemeState::Disabled;
}

// The segments of a strip as the platform lays them out in a frame.
std::vector<gfx::Rect> themeStatesSegments(gfx::Rect strip)
{
    return { { strip.minX(), strip.minY(), 21, strip.height() },
        { strip.minX() + 21, strip.minY(), 21, strip.height() },
        { strip.minX() + 42, strip.minY(), strip.width() - 42, strip.height() } };
}

const std::vector<ThemeStatesOperation>& themeStatesOperations()
{
    using Look = ThemeStatesLook;
    static const std::vector<ThemeStatesOperation> operations {
        { "textured rounded bezel", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                return themeStatesOutlined(
                    t, s.stateMask, t.gradientForStateMask(s.fillMask), s.enabled && t.applyShadows());
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawTexturedRoundedBezel(t, f, themeStatesBezel(s));
            } },
        { "round rect bezel", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                return themeStatesOutlined(
                    t, s.stateMask, t.gradientForStateMask(s.fillMask), s.enabled && t.applyShadows());
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) { D::drawRoundRectBezel(t, f, themeStatesBezel(s)); } },
        { "small square bezel", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                return themeStatesOutlined(t, s.stateMask, t.complexGradientForStateMask(s.fillMask), s.enabled);
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawSmallSquareBezel(t, f, themeStatesBezel(s), f.height());
            } },
        { "rounded bezel", 30, 0,
            [](const ZORTheme& t, const Look& s) {
                auto fill = s.enabled ? t.fillColorForStateMask(s.fillMask) : nullptr;
                return ThemeStatesInputs { fill ? themeStatesText(fill) : "" };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) { D::drawRoundedBezel(t, f, themeStatesBezel(s)); } },
        { "recessed bezel", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                auto fill = s.enabled ? t.fillColorForStateMask(themeStatesRecessedFill(s)) : nullptr;
                return ThemeStatesInputs { fill ? themeStatesText(fill) : "" };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawRecessedBezel(
                    t, f, { s.stateMask, themeStatesRecessedFill(s), ControlSize::Regular, s.enabled });
            } },
        { "check box", 24, 0, themeStatesCheck,
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawCheck(t, f, themeStatesCheckState(s), false);
            } },
        { "radio button", 24, 0, themeStatesCheck,
            [](const ZORTheme& t, gfx::Rect f, const Look& s) { D::drawCheck(t, f, themeStatesCheckState(s), true); } },
        { "pop-up arrows", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                return ThemeStatesInputs { themeStatesText(
                    t.textColorForBackgroundStyle(t.backgroundStyle(), s.stateMask)) };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawPopUpArrows(t, f, s.stateMask, t.backgroundStyle(), ControlSize::Regular, true, false);
            } },
        { "pull-down arrow", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                return ThemeStatesInputs { themeStatesText(
                    t.textColorForBackgroundStyle(t.backgroundStyle(), s.stateMask)) };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawPopUpArrows(t, f, s.stateMask, t.backgroundStyle(), ControlSize::Regular, false, true);
            } },
        // The strip's outline is centred on its drawing rectangle, which is the frame for themes without shadows.
        { "segmented strip", 24, 0.5,
            [](const ZORTheme& t, const Look& s) {
                auto stroke = t.strokeColorForStateMask(0);
                if (!stroke)
                    return ThemeStatesInputs {};
                // Each segment's fill; the middle one is selected in the selected row.
                std::string text = themeStatesText(stroke);
                for (long segment = 0; segment < 3; ++segment) {
                    ZORThemeStateMask mask = !s.enabled ? ZORThemeState::Disabled
                        : s.state == 1 && segment == 1  ? ZORThemeState::On
                                                        : 0;
                    text += " " + themeStatesText(t.gradientForStateMask(mask));
                }
                return themeStatesWithShadow(std::move(text),
                    s.enabled && t.applyShadows() ? t.dropShadowForBackgroundStyle(t.backgroundStyle()) : nullptr);
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                gfx::Rect strip = D::segmentedDrawingRect(t, f);
                auto segments = themeStatesSegments(strip);
                D::drawSegmentedStrip(t, strip, { 1, s.enabled, t.backgroundStyle(), s.state == 1 ? 1 : -1, segments });
            } },
        { "gradient highlight", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                ZORThemeStateMask mask = s.stateMask | (s.state == 1 ? ZORThemeState::On : 0);
                auto gradient = t.gradientForStateMask(mask);
                return ThemeStatesInputs {
                    gradient ? themeStatesText(gradient) + fmt::format(" at {}", t.gradientAngleForStateMask(mask)) : ""
                };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawHighlightedBackground(t, 2, s.stateMask | (s.state == 1 ? ZORThemeState::On : 0), f, 0);
            } },
        { "fill highlight over a ground", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                return ThemeStatesInputs { themeStatesText(t.fillColorForStateMask(s.stateMask | ZORThemeState::On))
                    + " over ground" };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                // Fill covers what is drawn already, so something is drawn first.
                gfx::Color::colorWithCalibratedWhite(0.5)->setFill();
                gfx::BezierPath::fillRect(gfx::insetRect(f, 8, 4));
                D::drawHighlightedBackground(t, 0, s.stateMask | ZORThemeState::On, f, 0);
            } },
        { "border sides", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                return ThemeStatesInputs { themeStatesText(t.borderSideGradientForStateMask(s.stateMask)) };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                D::drawBorderSides(t, s.stateMask, f, 1 | 2 | 4 | 8);
            } },
        { "bordered view", 24, 0,
            [](const ZORTheme& t, const Look& s) {
                // Drawn inactive in the inactive row only.
                ZORThemeStateMask mask = s.stateMask & ZORThemeState::Inactive;
                // The gradient at its angle, else the fill colour; then the border.
                auto gradient = t.gradientForStateMask(mask);
                std::string ground = gradient
                    ? themeStatesText(gradient) + fmt::format(" at {}", t.gradientAngleForStateMask(mask))
                    : themeStatesText(t.fillColorForStateMask(mask));
                return ThemeStatesInputs { ground + " " + themeStatesText(t.strokeColorForStateMask(mask)) };
            },
            [](const ZORTheme& t, gfx::Rect f, const Look& s) {
                // A bordered view is not flipped.
                gfx::GraphicsStateGuard guard;
                auto* context = gfx::GraphicsContext::current();
                context->translateCTM(f.minX(), f.maxY());
                context->scaleCTM(1, -1);
                D::BorderedViewLook look;
                look.borderSides = 1 | 2 | 4 | 8;
                look.pathStyle = 2;
                D::drawBorderedView(t, { 0, 0, f.width(), f.height() }, !(s.stateMask & ZORThemeState::Inactive), look);
            } },
    };
    return operations;
}

// One operation in one state, drawn alone into a flipped canvas at twice the resolution with room around the frame.
struct ThemeStatesPicture {
    static constexpr int Width = 80, Height = 42, Scale = 2;
    static constexpr gfx::Rect frameOf(double height) { return { 8, 6, 64, height }; }

    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * Width * Scale + std::size_t(x)]; }
};

ThemeStatesPicture themeStatesDraw(const ZORTheme& t, const ThemeStatesOperation& operation, const ThemeStatesLook& s)
{
    Canvas canvas(ThemeStatesPicture::Width * ThemeStatesPicture::Scale,
        ThemeStatesPicture::Height * ThemeStatesPicture::Scale, true,
        { ThemeStatesPicture::Width, ThemeStatesPicture::Height });
    operation.draw(t, ThemeStatesPicture::frameOf(operation.height), s);
    auto buffer = *canvas.context().pixelBuffer();
    ThemeStatesPicture picture;
    for (int y = 0; y < buffer.height; ++y)
        picture.pixels.insert(picture.pixels.end(), buffer.row(y), buffer.row(y) + buffer.width);
    return picture;
}

// The drawn pixels outside the rectangle (points, flipped) grown by the margin, as "x,y" of the first few.
std::string themeStatesOutside(const ThemeStatesPicture& picture, gfx::Rect allowed)
{
    const int s = ThemeStatesPicture::Scale;
    std::string out;
    int count = 0;
    for (int y = 0; y < ThemeStatesPicture::Height * s; ++y)
        for (int x = 0; x < ThemeStatesPicture::Width * s; ++x) {
            bool inside = x >= allowed.minX() * s && x < allowed.maxX() * s && y >= allowed.minY() * s
                && y < allowed.maxY() * s;
            if (!inside && gfx::alphaOf(picture.at(x, y)) > 0 && count++ < 5)
                out += fmt::format("{},{} ", x, y);
        }
    return count ? fmt::format("{} pixels, first {}", count, out) : std::string();
}

bool themeStatesDrewAnything(const ThemeStatesPicture& picture)
{
    for (auto p : picture.pixels)
        if (gfx::alphaOf(p) > 0)
            return true;
    return false;
}

// The sheet for a person: operations across, states down, over a ground of the theme's background style so that
// white and translucent looks both show.
void themeStatesSaveSheet(
    const std::string& key, bool darkGround, const std::vector<std::vector<ThemeStatesPicture>>& pictures)
{
    const int w = ThemeStatesPicture::Width * ThemeStatesPicture::Scale;
    const int h = ThemeStatesPicture::Height * ThemeStatesPicture::Scale;
    const int columns = static_cast<int>(pictures.size()), rows = static_cast<int>(std::size(ThemeStatesLooks));
    Canvas sheet(columns * w, rows * h, true);
    const unsigned ground = darkGround ? 64 : 237;
    // Premultiplied source over an opaque ground, channel by channel.
    auto over = [&](std::uint32_t p) {
        unsigned a = p >> 24;
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
            out |= (((p >> shift) & 0xFF) + ground * (255 - a) / 255) << shift;
        return out;
    };
    auto buffer = *sheet.context().pixelBuffer();
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    buffer.row(r * h + y)[c * w + x] = over(pictures[std::size_t(c)][std::size_t(r)].at(x, y));
    drawing::savePNG(sheet, "ZORThemeDrawing-" + key);
}

TEST(ZORThemeDrawing, EveryThemeDrawsEveryOperationInEveryStateInsideItsRectangle)
{
    const char* keys[]
        = { "ZORGlassTheme", "ZORFlatDarkTheme", "ZORHUDTheme", "ZORGrayTheme", "ZORLightGrayTheme", "ZORWhiteTheme" };
    for (const char* key : keys) {
        auto t = ZORThemeManager::sharedThemeManager().themeForKey(key);
        ASSERT_TRUE(t) << key;
        std::vector<std::vector<ThemeStatesPicture>> sheet;
        for (const auto& operation : themeStatesOperations()) {
            std::vector<ThemeStatesPicture> pictures;
            std::vector<ThemeStatesInputs> inputs;
            for (const auto& look : ThemeStatesLooks) {
                const std::string where = fmt::format("{}, {}, {}", key, operation.name, look.name);
                pictures.push_back(themeStatesDraw(*t, operation, look));
                inputs.push_back(operation.inputs(*t, look));
                const auto& picture = pictures.back();
                const auto& answer = inputs.back();

                // Something is drawn whenever the theme gives the operation something to draw with.
                bool hasAnswers = !answer.text.empty() && answer.text.find_first_not_of("none ") != std::string::npos;
                EXPECT_EQ(themeStatesDrewAnything(picture), hasAnswers) << where << ": " << answer.text;

                // Only a shadow may fall outside the frame, by no more than its offset and blur.
                gfx::Rect allowed = gfx::insetRect(
                    ThemeStatesPicture::frameOf(operation.height), -operation.outlineReach, -operation.outlineReach);
                if (answer.shadow) {
                    auto offset = answer.shadow->shadowOffset();
                    double reach = std::max(std::fabs(offset.width), std::fabs(offset.height))
                        + answer.shadow->shadowBlurRadius() + 1;
                    allowed = gfx::insetRect(allowed, -reach, -reach);
                }
                auto outside = themeStatesOutside(picture, allowed);
                EXPECT_TRUE(outside.empty()) << where << " draws outside its rectangle: " << outside;
            }
            // States look alike exactly when the theme answers alike for them.
            for (std::size_t a = 0; a < inputs.size(); ++a)
                for (std::size_t b = a + 1; b < inputs.size(); ++b) {
                    bool sameAnswers = inputs[a].text == inputs[b].text;
                    bool samePixels = pictures[a].pixels == pictures[b].pixels;
                    EXPECT_EQ(samePixels, sameAnswers)
                        << key << ", " << operation.name << ": " << ThemeStatesLooks[a].name << " and "
                        << ThemeStatesLooks[b].name << "\n  " << inputs[a].text << "\n  " << inputs[b].text;
                }
            sheet.push_back(std::move(pictures));
        }
        themeStatesSaveSheet(key, t->backgroundStyle() == ZORBackgroundStyleValue::Dark, sheet);
    }
}

}
