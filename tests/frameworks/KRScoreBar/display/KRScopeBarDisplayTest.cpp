#include "GtkTestSupport.h"
#include "KRScopeBarScene.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/graphics/PixelBuffer.h"

#include <fmt/format.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace gtktest;

namespace {

struct KRDisplayProbe {
    const char* what;
    gfx::Point point; // in the bar's own (flipped) coordinates
};

int krDisplayChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift : { 0, 8, 16 })
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

}

class KRScopeBarDisplayTest : public GtkDisplayTest { };

// Every layout state on the real display looks as the offscreen drawing of the same bar does, at the pixels that
// tell the states apart: background at top and bottom, the border, separators, the selected item's face or the
// collapsed group's pop-up, and the overflow picture.
TEST_F(KRScopeBarDisplayTest, LayoutStatesOnScreenMatchTheOffscreenDrawing)
{
    auto content = FillView::make({}, gfx::Color::colorWithDeviceWhite(0.92));
    auto scene = krtest::makeScene({ 0, 15, 900, 30 });
    scene.bar->groupAtIndex(1)->setSelectionIndexes(fnd::IndexSet { 1 });
    content->addSubview(scene.bar);
    auto window = showWindow({ 40, 60, 900, 60 }, content);
    const int s = scale();

    struct Case {
        double width;
        const char* state;
    } cases[] = { { 900, "E3 E3 E3" }, { 600, "E3 C C" }, { 420, "C C C" }, { 330, "C C C0" } };
    for (const auto& c : cases) {
        auto& bar = *scene.bar;
        bar.setFrameSize({ c.width, 30 });
        bar.adjustSubviews();
        auto frames = backend->presentedFrameCount(*window);
        content->setNeedsDisplay(true);
        ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > frames; })) << c.width;
        ASSERT_EQ(krtest::layoutState(bar), c.state) << c.width;

        // The same bar drawn offscreen.
        auto offscreen = bar.bitmapImageRepForCachingDisplayInRect(bar.bounds());
        bar.cacheDisplayInRect(bar.bounds(), *offscreen);
        auto offscreenPixels = offscreen->pixelBuffer();
        (void)offscreen->writeToFile(
            fnd::String(fmt::format("/tmp/KRScopeBar-offscreen-{}-scale{}.png", int(c.width), s)),
            gfx::BitmapImageFileType::PNG);

        std::vector<KRDisplayProbe> probes
            = { { "background top", { 2, 2 } }, { "background bottom", { 2, 27 } }, { "border", { 2, 29.5 } } };
        const auto& helpers = bar.groupHelpers();
        for (std::size_t g = 1; g < helpers.size(); ++g) {
            if (!helpers[g]->isPeeled()) {
                auto r = helpers[g]->separatorRect();
                probes.push_back({ "separator", { r.minX() + 0.5, r.midY() } });
            }
        }
        auto face = helpers[0]->group()->isCollapsed() ? helpers[0]->buttonRect() : helpers[0]->buttonRects()[0];
        probes.push_back({ "first group's face", { face.minX() + 3, face.midY() } });
        if (bar.showsOverflowPullDown()) {
            auto r = bar.overflowPullDownRect();
            probes.push_back({ "overflow picture", { r.midX(), r.midY() } });
        }

        auto [x, y, width, height] = deviceRectOfContent(*window);
        Screenshot shot;
        waitFor([&] {
            shot = grabScreen(x, y, width, height);
            return shot.width > 0;
        });
        ASSERT_TRUE(shot.width);
        shot.save(fmt::format("KRScopeBar-screen-{}-scale{}.png", int(c.width), s));
        for (const auto& probe : probes) {
            auto inWindow = bar.convertPointToView(probe.point, nullptr);
            int column = int(inWindow.x * s);
            int row = int((60 - inWindow.y) * s);
            auto onScreen = shot.at(std::min(column, shot.width - 1), std::min(row, shot.height - 1));
            double scaleX = double(offscreenPixels.width) / bar.bounds().width();
            auto drawn = offscreenPixels.pixel(int(probe.point.x * scaleX), int(probe.point.y * scaleX)) & 0xFFFFFF;
            EXPECT_LE(krDisplayChannelDistance(onScreen, drawn), 12)
                << probe.what << " at width " << c.width << ": screen " << fmt::format("{:06x}", onScreen)
                << ", offscreen " << fmt::format("{:06x}", drawn);
        }
    }
}
