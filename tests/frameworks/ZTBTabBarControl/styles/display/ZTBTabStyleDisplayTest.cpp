#include "GtkTestSupport.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"

#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace gtktest;

namespace {

int ztbDisplayChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift : { 0, 8, 16 })
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

}

class ZTBTabStyleDisplayTest : public GtkDisplayTest {
protected:
    // One window per look: a tab view under (or beside) the bar, three tabs, the middle one selected. Probes the
    // selected and a plain tab and the bar's free end on screen against the same bar drawn offscreen.
    void showAndCompare(const char* style, bool vertical)
    {
        SCOPED_TRACE(style);
        const double width = 480, height = vertical ? 160 : 80;
        auto content = FillView::make({}, gfx::Color::windowBackgroundColor());
        auto tabView = ui::TabView::create(vertical ? gfx::Rect { 160, 0, width - 160, height }
                                                    : gfx::Rect { 0, 0, width, height - 22 });
        tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        auto bar = ZTBTabBarControl::create(vertical ? gfx::Rect { 0, 0, 160, height } : gfx::Rect { 0, height - 22, width, 22 });
        content->addSubview(tabView);
        content->addSubview(bar);
        bar->setStyleNamed(style);
        bar->setTabView(tabView);
        tabView->setDelegate(bar);
        bar->setPartnerView(tabView);
        if (vertical)
            bar->setOrientation(1);
        bar->setAutomaticallyAnimates(false);
        std::vector<std::shared_ptr<ui::TabViewItem>> items;
        for (const char* label : { "Alpha", "Beta", "Gamma" }) {
            auto item = ui::TabViewItem::create();
            item->setLabel(label);
            tabView->addTabViewItem(item);
            items.push_back(item);
        }
        tabView->selectTabViewItem(items[1]);
        bar->update(false);
        auto window = showWindow({ 60, 80, width, height }, content);
        auto frames = backend->presentedFrameCount(*window);
        content->setNeedsDisplay(true);
        ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > frames; }));

        // The bar's part of the window drawn offscreen: the looks shade what lies under them.
        auto offscreen = content->bitmapImageRepForCachingDisplayInRect(bar->frame());
        content->cacheDisplayInRect(bar->frame(), *offscreen);
        auto offscreenPixels = offscreen->pixelBuffer();
        const std::string name = fmt::format("ZTBTabStyle-{}{}", style, vertical ? "-vertical" : "");
        (void)offscreen->writeToFile(fnd::String("/tmp/" + name + "-offscreen.png"), gfx::BitmapImageFileType::PNG);

        const int s = scale();
        auto [x, y, w, h] = deviceRectOfContent(*window);
        Screenshot shot;
        waitFor([&] {
            shot = grabScreen(x, y, w, h);
            return shot.width > 0;
        });
        ASSERT_TRUE(shot.width);
        shot.save(name + "-screen.png");

        std::vector<std::pair<std::string, gfx::Point>> probes;
        for (const auto& cell : bar->cells()) {
            const gfx::Rect f = cell->frame();
            probes.push_back({ cell->stringValue().utf8(), { f.maxX() - 5, f.midY() + 1 } });
        }
        if (!vertical)
            probes.push_back({ "bar end", { bar->bounds().maxX() - 30, 11 } });
        for (const auto& [what, point] : probes) {
            auto inWindow = bar->convertPointToView(point, nullptr);
            const int column = std::min(int(inWindow.x * s), shot.width - 1);
            const int row = std::min(int((height - inWindow.y) * s), shot.height - 1);
            const auto onScreen = shot.at(column, row);
            const double scaleX = double(offscreenPixels.width) / bar->bounds().width();
            const auto drawn = offscreenPixels.pixel(int(point.x * scaleX), int(point.y * scaleX)) & 0xFFFFFF;
            EXPECT_LE(ztbDisplayChannelDistance(onScreen, drawn), 12)
                << what << ": screen " << fmt::format("{:06x}", onScreen) << ", offscreen " << fmt::format("{:06x}", drawn);
        }
        window->close();
    }
};

TEST_F(ZTBTabStyleDisplayTest, MetalOnScreenMatchesItsOffscreenDrawing) { showAndCompare("Metal", false); }
TEST_F(ZTBTabStyleDisplayTest, AquaOnScreenMatchesItsOffscreenDrawing) { showAndCompare("Aqua", false); }
TEST_F(ZTBTabStyleDisplayTest, UnifiedOnScreenMatchesItsOffscreenDrawing) { showAndCompare("Unified", false); }
TEST_F(ZTBTabStyleDisplayTest, CapsuleOnScreenMatchesItsOffscreenDrawing) { showAndCompare("Capsule", false); }
TEST_F(ZTBTabStyleDisplayTest, VerticalCapsuleOnScreenMatchesItsOffscreenDrawing) { showAndCompare("Capsule", true); }
TEST_F(ZTBTabStyleDisplayTest, CardOnScreenMatchesItsOffscreenDrawing) { showAndCompare("Card", false); }
