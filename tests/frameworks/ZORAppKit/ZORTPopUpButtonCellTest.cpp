#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTPopUpButton.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"
#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "platform/ui/views/Window.h"

#include <cmath>

namespace {

using namespace zortest;
using ui::ControlSize;

class ZORTPopUpButtonCellTest : public ZORAppKitTest {
protected:
    std::shared_ptr<ZORTPopUpButton> popUp(
        const fnd::String& key, bool pullsDown, gfx::Rect frame = { 10, 10, 120, 24 })
    {
        auto p = ZORTPopUpButton::create(frame, pullsDown);
        p->setThemeKey(key);
        add(p);
        return p;
    }
};

// The painted pixels of a region: how many, and their alpha-weighted centre and vertical extent.
struct Ink {
    double weight { 0 };
    double cx { 0 }, cy { 0 };
    double top { 1e9 }, bottom { -1e9 };
};

Ink inkIn(const gfx::BitmapImageRep& image, const ui::View& view, gfx::Rect rect)
{
    Ink ink;
    for (double y = rect.minY() + 0.5; y < rect.maxY(); ++y) {
        for (double x = rect.minX() + 0.5; x < rect.maxX(); ++x) {
            double a = gfx::alphaOf(pixelAt(image, view, { x, y })) / 255.0;
            if (a <= 0)
                continue;
            ink.weight += a;
            ink.cx += a * x;
            ink.cy += a * y;
            ink.top = std::min(ink.top, y - 0.5);
            ink.bottom = std::max(ink.bottom, y + 0.5);
        }
    }
    if (ink.weight > 0) {
        ink.cx /= ink.weight;
        ink.cy /= ink.weight;
    }
    return ink;
}

TEST_F(ZORTPopUpButtonCellTest, ArrowsSitCentredInAStripThatDependsOnSizeAndBorder)
{
    struct Case {
        ControlSize size;
        bool bordered;
        double strip;
    };
    const Case cases[] = {
        { ControlSize::Regular, true, 21 },
        { ControlSize::Regular, false, 11 },
        { ControlSize::Small, true, 18 },
        { ControlSize::Small, false, 8 },
        { ControlSize::Mini, true, 15 },
        { ControlSize::Mini, false, 5 },
    };
    for (bool pullsDown : { false, true }) {
        for (const auto& c : cases) {
            auto p = popUp(ZORThemeKey::FlatDark, pullsDown);
            p->setControlSize(c.size);
            p->setBordered(c.bordered);
            const bool mini = c.size == ControlSize::Mini;
            auto name = std::string(pullsDown ? "pulldown" : "popup") + "-" + std::to_string(int(c.size)) + "-"
                + (c.bordered ? "bordered" : "borderless");
            auto image = shot(*p, "arrows-" + name);
            // Only the arrows are drawn: nothing is chosen, nothing highlighted.
            auto ink = inkIn(*image, *p, p->bounds());
            ASSERT_GT(ink.weight, 3) << name;
            EXPECT_NEAR(ink.cx, 120 - c.strip / 2, 0.1) << name;
            EXPECT_NEAR(ink.cy, pullsDown ? ink.cy : 12, 0.1) << name;
            // Pull-down: one triangle from cy - b down to cy + b; pop-up: apexes at cy ∓ (2d + 2).
            double reach = pullsDown ? (mini ? 1.5 : 2.5) : (mini ? 5 : 6);
            EXPECT_NEAR(ink.top, std::floor(12 - reach), 0.01) << name;
            EXPECT_NEAR(ink.bottom, std::ceil(12 + reach), 0.01) << name;
            p->removeFromSuperview();
        }
    }
    // The edge case: a mini, borderless pull-down has its arrow 2.5 points from the right edge.
    auto p = popUp(ZORThemeKey::HUD, true);
    p->setControlSize(ControlSize::Mini);
    p->setBordered(false);
    EXPECT_NEAR(inkIn(*shot(*p, "arrow-mini"), *p, p->bounds()).cx, 117.5, 0.1);
}

TEST_F(ZORTPopUpButtonCellTest, ArrowsTakeTheThemesTextColourAndTheInactiveBitOutsideTheKeyWindow)
{
    for (const auto& key : themeKeys()) {
        auto theme = themeNamed(key);
        auto p = popUp(key, true);
        // The pull-down's triangle is 7 wide at its top row (cy - 2.5): its middle there is fully covered.
        const gfx::Point solid { 109.5, 10.5 };
        auto active = pixelAt(*shot(*p, "arrow-active-" + key.utf8()), *p, solid);
        EXPECT_TRUE(pixelNear(active, pixelOf(theme->textColorForBackgroundStyle(0, 0)), 2)) << key.utf8();
        p->setEnabled(false);
        auto disabled = pixelAt(*shot(*p, "arrow-disabled-" + key.utf8()), *p, solid);
        EXPECT_TRUE(pixelNear(disabled, pixelOf(theme->textColorForBackgroundStyle(0, ZORThemeState::Disabled)), 2))
            << key.utf8();
        p->setEnabled(true);
        deactivateWindow();
        auto inactive = pixelAt(*shot(*p, "arrow-inactive-" + key.utf8()), *p, solid);
        EXPECT_TRUE(pixelNear(inactive, pixelOf(theme->textColorForBackgroundStyle(0, ZORThemeState::Inactive)), 2))
            << key.utf8();
        window->makeKeyAndOrderFront();
        p->removeFromSuperview();
    }
    // A pop-up that shows no arrows draws none.
    auto p = popUp(ZORThemeKey::FlatDark, false);
    p->popUpCell()->setArrowPosition(ui::PopUpArrowPosition::NoArrow);
    EXPECT_EQ(paintedPixels(*shot(*p, "arrow-none"), *p, p->bounds()), 0);
}

TEST_F(ZORTPopUpButtonCellTest, TheInteriorShowsTheChosenItemAndTheHighlightedBackground)
{
    auto theme = themeNamed(ZORThemeKey::Gray);
    auto p = popUp(ZORThemeKey::Gray, false);
    p->addItemsWithTitles({ "First", "Second" });
    p->selectItemAtIndex(1);
    auto plain = shot(*p, "popup-interior");
    // The title is drawn (by the platform) left of the arrows.
    EXPECT_GT(paintedPixels(*plain, *p, { 0, 0, 90, 24 }), 30);

    // Highlighted and changing its background: the fill mode tints what lies beneath, here the window.
    p->setHighlighted(true);
    auto tinted = windowShot("popup-highlighted");
    auto untinted = windowPixel(*tinted, *p, { -2, 12 });
    auto fill = theme->fillColorForStateMask(ZORThemeState::On)->rgba();
    double under = gfx::redOf(untinted) / 255.0;
    EXPECT_NEAR(gfx::redOf(windowPixel(*tinted, *p, { 100, 2 })),
        std::lround(255 * (fill[0] * fill[3] + under * (1 - fill[3]))), 2);

    // Border strips follow the interior.
    p->setHighlighted(false);
    p->setBorderSideMask(ZORThemeDrawing::BorderSide::Top);
    auto stripped = shot(*p, "popup-strip");
    EXPECT_GT(gfx::alphaOf(pixelAt(*stripped, *p, { 60.5, 0.5 })), 0);
}

}
