#include "KRScopeBarScene.h"
#include "UiTestSupport.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/graphics/PixelBuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using krtest::layoutState;
using krtest::makeScene;

// Each layout state drawn on the headless backend, probed at the pixels that tell the state apart, and written to
// $TMPDIR/KRScopeBar-<width>.png (and BARCODES_UI_SNAPSHOTS) to be looked at.
class KRScopeBarDrawingTest : public uitest::KeyWindowTest {
protected:
    KRScopeBarDrawingTest()
        : uitest::KeyWindowTest({ 900, 60 })
    {
        scene = makeScene({ 0, 15, 900, 30 });
        scene.bar->groupAtIndex(1)->setSelectionIndexes(fnd::IndexSet { 1 });
        add(scene.bar);
    }

    std::shared_ptr<gfx::BitmapImageRep> drawAt(double width)
    {
        scene.bar->setFrameSize({ width, 30 });
        scene.bar->adjustSubviews();
        auto name = "KRScopeBar-" + std::to_string(int(width));
        auto image = snapshot(name.c_str());
        const char* tmp = std::getenv("TMPDIR");
        (void)image->writeToFile(
            fnd::String(std::string(tmp ? tmp : "/tmp") + "/" + name + ".png"), gfx::BitmapImageFileType::PNG);
        return image;
    }
    // The grey level at a point of the bar (its own, flipped coordinates).
    int grey(const gfx::BitmapImageRep& image, gfx::Point p) { return luminance(pixelIn(image, *scene.bar, p)); }
    gfx::Point inside(const gfx::Rect& r, double dx, double dy) { return { r.minX() + dx, r.minY() + dy }; }

    krtest::Scene scene;
};

TEST_F(KRScopeBarDrawingTest, EachLayoutStateDrawsItsParts)
{
    struct Case {
        double width;
        const char* state;
    } cases[] = { { 900, "E3 E3 E3" }, { 720, "E3 E3 C" }, { 600, "E3 C C" }, { 420, "C C C" }, { 330, "C C C0" },
        { 200, "C C0 C0" } };
    for (const auto& c : cases) {
        auto image = drawAt(c.width);
        auto& bar = *scene.bar;
        ASSERT_EQ(layoutState(bar), c.state) << c.width;
        const auto& helpers = bar.groupHelpers();

        // Background: lighter at the top (white 0.94) than at the bottom (0.8); the border line along the bottom.
        EXPECT_GT(grey(*image, { 2, 2 }), grey(*image, { 2, 27 })) << c.width;
        EXPECT_NEAR(grey(*image, { 2, 29.5 }), 153, 4) << "border at width " << c.width;
        EXPECT_NEAR(grey(*image, { 2, 1 }), 238, 6) << c.width;

        // Separators of the second and third groups (when they show), in the separator colour, inset from the edges.
        for (std::size_t g = 1; g < helpers.size(); ++g) {
            if (helpers[g]->isPeeled())
                continue;
            auto s = helpers[g]->separatorRect();
            EXPECT_NEAR(grey(*image, { s.minX() + 0.5, s.midY() }), 117, 6) << "separator " << g << " at " << c.width;
            EXPECT_GT(grey(*image, { s.minX() + 0.5, 2 }), 190) << "the separator is inset at " << c.width;
        }

        // The first group's selected item (or its pop-up) wears a face; a not selected, not hovered item does not.
        if (!helpers[0]->group()->isCollapsed()) {
            auto selected = helpers[0]->buttonRects()[0];
            auto plain = helpers[0]->buttonRects()[1];
            EXPECT_LT(grey(*image, inside(selected, 2, selected.height() / 2)), 180) << c.width;
            EXPECT_EQ(pixelIn(*image, bar, inside(plain, 2, plain.height() / 2)),
                pixelIn(*image, bar, { plain.minX() - 2, plain.midY() }))
                << "borderless until hovered at " << c.width;
        } else {
            auto popUp = helpers[0]->buttonRect();
            EXPECT_LT(grey(*image, inside(popUp, 3, popUp.height() / 2)), 180) << c.width;
        }

        // The overflow pull-down draws its picture only while it holds items.
        auto overflow = bar.overflowPullDownRect();
        if (bar.showsOverflowPullDown()) {
            int darkest = 255;
            for (double x = overflow.minX(); x < overflow.maxX(); x += 1)
                for (double y = overflow.minY(); y < overflow.maxY(); y += 1)
                    darkest = std::min(darkest, grey(*image, { x + 0.5, y + 0.5 }));
            EXPECT_LT(darkest, 140) << c.width;
        } else {
            EXPECT_TRUE(overflow.isEmpty()) << c.width;
        }
    }
}

// Hovering an item shows its border, and leaving hides it again.
TEST_F(KRScopeBarDrawingTest, HoverShowsTheItemBorder)
{
    auto image = drawAt(900);
    auto rect = scene.bar->groupHelpers()[0]->buttonRects()[2];
    auto probe = inside(rect, 2, rect.height() / 2);
    const auto plain = pixelIn(*image, *scene.bar, probe);
    backend->mouseMoved(*window, scene.bar->convertPointToView({ rect.midX(), rect.midY() }, nullptr));
    dispatch();
    auto hovered = snapshot("KRScopeBar-hover");
    EXPECT_NE(pixelIn(*hovered, *scene.bar, probe), plain);
    backend->mouseMoved(*window, { 1, 1 });
    dispatch();
    EXPECT_EQ(pixelIn(*snapshot(), *scene.bar, probe), plain);
}

}
