#include "GtkTestSupport.h"
#include "KRScopeBarScene.h"
#include "support/AccessibleTree.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/graphics/PixelBuffer.h"

#include <fmt/format.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

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

// Read through the desktop's accessibility bus as a screen reader reads it: the bar is a named tool bar of its groups,
// each named by its label and holding its items' buttons with their titles, the selected ones checked (radio buttons
// where one item is chosen, toggle buttons where several may be); pressing a button through the bus selects it.
TEST_F(KRScopeBarDisplayTest, AnAtSpiClientReadsTheGroupsAndPressesAnItem)
{
    auto content = FillView::make({}, gfx::Color::colorWithDeviceWhite(0.92));
    auto scene = krtest::makeScene({ 0, 15, 900, 30 });
    scene.bar->groupAtIndex(0)->setSelectionIndexes(fnd::IndexSet { 0 });
    scene.bar->groupAtIndex(1)->setSelectionIndexes(fnd::IndexSet { 1 });
    content->addSubview(scene.bar);
    auto window = showWindow({ 40, 60, 900, 60 }, content);
    window->setTitle("Pictures");
    ASSERT_EQ(krtest::layoutState(*scene.bar), "E3 E3 E3");
    const std::string self = "pid:" + std::to_string(::getpid());
    auto read = [&] {
        return testsupport::AccessibleTree::fromDump(
            runWhileServing(*backend, testsupport::AccessibleTree::dumpCommand(self)).output);
    };

    auto tree = read();
    const auto* frame = tree.find("frame", "Pictures");
    ASSERT_TRUE(frame) << tree.text();
    const auto* bar = tree.findIn(*frame, [](const auto& n) { return n.role == "tool bar"; });
    ASSERT_TRUE(bar) << tree.text();
    EXPECT_EQ(bar->name, "Scope bar");
    struct Expected {
        std::string group;
        std::string buttonRole;
        std::vector<std::string> titles;
        std::vector<std::string> checked;
    };
    const std::vector<Expected> expected {
        { "Show", "radio button", { "All", "Documents", "Pictures" }, { "All" } },
        { "Date", "toggle button", { "Today", "This Week", "Older" }, { "This Week" } },
        // A group of one choice starts with its first item chosen.
        { "Sort", "radio button", { "Name", "Kind", "Size" }, { "Name" } },
    };
    auto groups = tree.childrenOf(*bar);
    ASSERT_EQ(groups.size(), expected.size()) << tree.text();
    for (std::size_t g = 0; g < expected.size(); ++g) {
        EXPECT_EQ(groups[g]->role, "panel");
        EXPECT_EQ(groups[g]->name, expected[g].group);
        std::vector<std::string> titles;
        std::vector<std::string> checked;
        int left = -1;
        for (const auto* button : tree.childrenOf(*groups[g])) {
            EXPECT_EQ(button->role, expected[g].buttonRole) << button->name;
            EXPECT_EQ(button->actions, std::vector<std::string> { "click" }) << button->name;
            EXPECT_TRUE(button->has("showing")) << button->name;
            // In the bar's row, left to right.
            EXPECT_GT(button->x, left) << button->name;
            EXPECT_GE(button->y, bar->y) << button->name;
            EXPECT_LE(button->y + button->height, bar->y + bar->height) << button->name;
            left = button->x;
            titles.push_back(button->name);
            if (button->has("checked"))
                checked.push_back(button->name);
        }
        EXPECT_EQ(titles, expected[g].titles) << expected[g].group;
        EXPECT_EQ(checked, expected[g].checked) << expected[g].group;
    }

    const auto asked = scene.delegate->askedToSelect.size();
    auto pressed = runWhileServing(
        *backend, testsupport::AccessibleTree::actionCommand(self, "radio button", "Pictures", "click"));
    EXPECT_EQ(pressed.status, 0) << pressed.output;
    EXPECT_TRUE(waitFor([&] { return scene.bar->groupAtIndex(0)->selectionIndexes() == fnd::IndexSet { 2 }; }));
    ASSERT_EQ(scene.delegate->askedToSelect.size(), asked + 1);
    EXPECT_EQ(scene.delegate->askedToSelect.back(), "Pictures") << "the delegate was asked";
    tree = read();
    ASSERT_TRUE(tree.find("radio button", "Pictures")) << tree.text();
    EXPECT_TRUE(tree.find("radio button", "Pictures")->has("checked"));
    EXPECT_FALSE(tree.find("radio button", "All")->has("checked"));
}
