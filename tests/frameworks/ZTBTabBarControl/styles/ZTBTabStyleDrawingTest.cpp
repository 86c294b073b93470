#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBAquaTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBCapsuleTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBUnifiedTabStyle.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/PixelBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

namespace {

using namespace ztbtest;

const char* const ztbDrawingStyles[] = { "Metal", "Aqua", "Unified", "Capsule", "Card" };

class TabStyleDrawingTest : public TabBarControlTest {
protected:
    TabStyleDrawingTest()
    {
        for (const char* label : { "Alpha", "Beta", "Gamma" })
            items.push_back(a.addItem(label));
        a.tabView->selectTabViewItem(items[1]);
        settle();
    }

    void useStyle(const char* name)
    {
        a.bar->setStyleNamed(name);
        settle();
    }

    std::shared_ptr<gfx::BitmapImageRep> shot(const std::string& name)
    {
        auto image = backend->imageOfWindow(*a.window);
        uitest::keepSnapshot(image, ("ztbstyle-" + name).c_str());
        return image;
    }

    // The pixel at a point of the bar (its own coordinates).
    std::uint32_t at(const gfx::BitmapImageRep& image, gfx::Point point) const
    {
        const gfx::Point p = a.bar->convertPointToView(point, nullptr);
        auto pixels = image.pixelBuffer();
        const double scale = image.size().width > 0 ? pixels.width / image.size().width : 1;
        const int px = std::clamp(int(std::floor(p.x * scale)), 0, pixels.width - 1);
        const int py = std::clamp(int(std::floor(p.y * scale)), 0, pixels.height - 1);
        return pixels.pixel(px, pixels.height - 1 - py);
    }
    // A point of the tab clear of its title, close button and counter.
    static gfx::Point blankOf(const ZTBTabBarCell& cell)
    {
        const gfx::Rect f = cell.frame();
        return { f.maxX() - 5.0, f.midY() + 1.0 };
    }
    static int distance(std::uint32_t p, std::uint32_t q)
    {
        return std::abs(int(gfx::redOf(p)) - int(gfx::redOf(q))) + std::abs(int(gfx::greenOf(p)) - int(gfx::greenOf(q)))
            + std::abs(int(gfx::blueOf(p)) - int(gfx::blueOf(q)));
    }

    std::vector<std::shared_ptr<ui::TabViewItem>> items;
};

TEST_F(TabStyleDrawingTest, TheSelectedTabStandsOutInEveryStyle)
{
    for (const char* name : ztbDrawingStyles) {
        SCOPED_TRACE(name);
        useStyle(name);
        auto image = shot(std::string(name) + "-selected");
        for (const auto& c : a.bar->cells())
            EXPECT_FALSE(c->isHighlighted()) << c->stringValue().utf8();
        auto selected = a.cell("Beta");
        auto plain = a.cell("Alpha");
        ASSERT_TRUE(selected && plain);
        EXPECT_EQ(selected->state(), 1);
        EXPECT_GT(distance(at(*image, blankOf(*selected)), at(*image, blankOf(*plain))), 12);
    }
}

TEST_F(TabStyleDrawingTest, ATabUnderThePointerIsDrawnDifferently)
{
    for (const char* name : ztbDrawingStyles) {
        SCOPED_TRACE(name);
        useStyle(name);
        auto before = shot(std::string(name) + "-plain");
        auto cell = a.cell("Gamma");
        cell->setHighlighted(true);
        a.bar->setNeedsDisplay(true);
        auto after = shot(std::string(name) + "-hover");
        EXPECT_GT(distance(at(*before, blankOf(*cell)), at(*after, blankOf(*cell))), 6);
        cell->setHighlighted(false);
    }
}

TEST_F(TabStyleDrawingTest, APressedCloseButtonShowsItsPressedPicture)
{
    for (const char* name : ztbDrawingStyles) {
        SCOPED_TRACE(name);
        useStyle(name);
        auto cell = a.cell("Alpha");
        const gfx::Rect close = cell->closeButtonRectForFrame(cell->frame());
        ASSERT_FALSE(close.isEmpty());
        // Inside the button's disc, clear of its cross; cards stand 3 points lower in their cells.
        const double lower = std::string(name) == "Card" ? 3.0 : 0.0;
        const gfx::Point probe { close.minX() + 6.0, close.minY() + 2.0 + lower };
        auto before = shot(std::string(name) + "-close");
        cell->setCloseButtonPressed(true);
        a.bar->setNeedsDisplay(true);
        auto after = shot(std::string(name) + "-pressed");
        EXPECT_GT(distance(at(*before, probe), at(*after, probe)), 30);
        cell->setCloseButtonPressed(false);
    }
}

TEST_F(TabStyleDrawingTest, TabsMovedToTheOverflowMenuAreNotDrawn)
{
    for (int i = 0; i < 12; ++i)
        a.addItem("Overflowing tab " + std::to_string(i));
    settle();
    for (const char* name : ztbDrawingStyles) {
        SCOPED_TRACE(name);
        useStyle(name);
        std::shared_ptr<ZTBTabBarCell> hidden, lastShown;
        for (const auto& cell : a.bar->cells()) {
            if (cell->isInOverflowMenu())
                hidden = hidden ? hidden : cell;
            else
                lastShown = cell;
        }
        ASSERT_TRUE(hidden && lastShown);
        auto image = shot(std::string(name) + "-overflow");
        // Between the last shown tab and the buttons at the right end only the bar is drawn.
        const gfx::Point gap { lastShown->frame().maxX() + 3.0, lastShown->frame().midY() };
        const gfx::Point bar { a.bar->bounds().maxX() - 1.0, lastShown->frame().midY() };
        if (gap.x < a.bar->bounds().maxX() - a.bar->style()->rightMarginForTabBarControl()) {
            EXPECT_LT(distance(at(*image, gap), at(*image, bar)), 40);
        }
    }
}

TEST_F(TabStyleDrawingTest, AnInactiveApplicationOrWindowChangesOnlyTheStylesThatFollowIt)
{
    struct Row {
        const char* style;
        bool changes;
    };
    // Metal and the capsule's picture do not follow focus; the tinted picture, the unified and the card fills do.
    const Row rows[]
        = { { "Metal", false }, { "Aqua", true }, { "Unified", true }, { "Capsule", false }, { "Card", true } };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.style);
        useStyle(row.style);
        auto selected = a.cell("Beta");
        auto active = shot(std::string(row.style) + "-active");
        app().deactivate();
        app().makeKey(nullptr);
        a.bar->setNeedsDisplay(true);
        auto inactive = shot(std::string(row.style) + "-inactive");
        const int change = distance(at(*active, blankOf(*selected)), at(*inactive, blankOf(*selected)));
        if (row.changes)
            EXPECT_GT(change, 6);
        else
            EXPECT_EQ(change, 0);
        app().activateIgnoringOtherApps(true);
        a.window->makeKeyAndOrderFront();
        settle();
    }
}

TEST_F(TabStyleDrawingTest, AVerticalCapsuleBarListsTallTabsWithTheSelectedOneLit)
{
    a.bar->setStyleNamed("Capsule");
    a.bar->setFrame({ 0, 0, 160, 178 });
    a.bar->setOrientation(1);
    settle();
    auto image = shot("Capsule-vertical");
    auto selected = a.cell("Beta");
    auto plain = a.cell("Gamma");
    ASSERT_TRUE(selected && plain);
    EXPECT_EQ(selected->frame().height(), 28.0);
    EXPECT_EQ(plain->frame().height(), 28.0);
    EXPECT_GT(distance(at(*image, { selected->frame().midX(), selected->frame().maxY() - 3 }),
                  at(*image, { plain->frame().midX(), plain->frame().maxY() - 3 })),
        6);
}

TEST_F(TabStyleDrawingTest, SizedToFitAMetalTabIsAsWideAsItsTitleNeeds)
{
    // "T1" wants 6 + its width + 6 and its close button: Metal's bold title makes it a point or two wider than
    // Unified's, nowhere near the 280-point maximum.
    for (const auto& item : std::vector(a.tabView->tabViewItems()))
        a.tabView->removeTabViewItem(item);
    a.addItem("T1");
    a.addItem("T2");
    a.bar->setSizeCellsToFit(true);
    std::map<std::string, double> widths;
    for (const char* name : { "Metal", "Unified" }) {
        useStyle(name);
        widths[name] = a.cell("T1")->frame().width();
        shot(std::string("sized-to-fit-") + name);
    }
    EXPECT_LT(widths["Metal"], 60) << "Metal T1";
    EXPECT_NEAR(widths["Metal"], widths["Unified"], 4);
}

// The styles drawn into a bitmap of their own, outside any window.
class TabStyleOffscreenTest : public TabStyleDrawingTest {
protected:
    // Alpha of the pixel at (x, y), y up.
    static int alphaAt(const gfx::PixelBufferView& pixels, int x, int y)
    {
        return gfx::alphaOf(pixels.pixel(x, pixels.height - 1 - y));
    }
};

TEST_F(TabStyleOffscreenTest, TheTintedBackgroundFollowsTheBarsHeightNotTheRedrawnPart)
{
    auto style = ZTBAquaTabStyle::create();
    auto context = gfx::GraphicsContext::createForBitmap(540, 60);
    {
        gfx::CurrentContextScope scope(context);
        // A redrawn part taller than the bar still repaints the bar's 22 points.
        style->drawTabBar(*a.bar, { 0, 0, 540, 60 });
    }
    auto pixels = *context->pixelBuffer();
    EXPECT_GT(alphaAt(pixels, 300, 10), 200);
    // A bar taller than the picture's strip gets none.
    a.bar->setFrame({ 0, 100, 534, 40 });
    auto tall = gfx::GraphicsContext::createForBitmap(540, 60);
    {
        gfx::CurrentContextScope scope(tall);
        style->drawBackgroundInRect({ 0, 0, 534, 40 });
        style->drawTabBar(*a.bar, { 0, 0, 534, 10 });
    }
    EXPECT_EQ(alphaAt(*tall->pixelBuffer(), 300, 30), 0);
}

TEST_F(TabStyleOffscreenTest, AStyleSharedByTwoBarsKeepsNoBarBetweenDraws)
{
    for (const char* name : ztbDrawingStyles) {
        SCOPED_TRACE(name);
        a.bar->setStyleNamed(name);
        auto style = a.bar->style();
        auto other = BarWindow::make({ 700, 100 }, 300);
        other.bar->setStyle(style);
        other.addItem("Other");
        settle();
        auto first = gfx::GraphicsContext::createForBitmap(540, 30);
        {
            gfx::CurrentContextScope scope(first);
            // On white, so that shading over what is there shows too.
            gfx::Color::whiteColor()->setFill();
            first->fillRect({ 0, 0, 540, 30 });
            style->drawTabBar(*other.bar, other.bar->bounds());
        }
        // The narrower bar's background ends where that bar ends.
        const auto pixels = *first->pixelBuffer();
        EXPECT_NE(pixels.pixel(290, 11), pixels.pixel(420, 11));
        EXPECT_EQ(pixels.pixel(420, 11), pixels.pixel(530, 11));
        // A background asked for outside a bar's drawing has no bar to fill.
        auto loose = gfx::GraphicsContext::createForBitmap(540, 30);
        {
            gfx::CurrentContextScope scope(loose);
            style->drawBackgroundInRect({ 0, 0, 540, 30 });
        }
        EXPECT_EQ(alphaAt(*loose->pixelBuffer(), 100, 11), 0);
        other.window->close();
    }
}

TEST_F(TabStyleOffscreenTest, ABarWithoutATabViewShowsItsClassName)
{
    for (const char* name : ztbDrawingStyles) {
        SCOPED_TRACE(name);
        auto bar = ZTBTabBarControl::create({ 0, 0, 300, 22 });
        bar->setStyleNamed(name);
        auto context = gfx::GraphicsContext::createForBitmap(300, 22);
        {
            gfx::CurrentContextScope scope(context);
            bar->style()->drawTabBar(*bar, bar->bounds());
        }
        auto pixels = *context->pixelBuffer();
        int dark = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 100; x < 200; ++x) {
                const auto p = pixels.pixel(x, y);
                dark += gfx::alphaOf(p) > 128 && gfx::redOf(p) < 90 ? 1 : 0;
            }
        EXPECT_GT(dark, 20);
    }
}

}

// An identifier object that answers a tab's icon.
class ZTBStyleIconModel : public fnd::Object {
    FND_OBJECT(ZTBStyleIconModel)
    static void describeClass(fnd::ClassBuilder<ZTBStyleIconModel>& c)
    {
        c.property("icon", &ZTBStyleIconModel::icon, &ZTBStyleIconModel::setIcon);
    }

public:
    std::shared_ptr<gfx::Image> icon() const { return m_icon; }
    void setIcon(std::shared_ptr<gfx::Image> icon) { m_icon = std::move(icon); }

private:
    std::shared_ptr<gfx::Image> m_icon;
};

FND_REGISTER_CLASS(ZTBStyleIconModel, fnd::Object)

namespace {

TEST_F(TabStyleOffscreenTest, ACapsuleTabShowsItsIconInTheCloseButtonsPlaceUntilTheButtonIsPressed)
{
    auto model = fnd::makeObject<ZTBStyleIconModel>();
    model->setIcon(gfx::Image::imageWithSize({ 12, 12 }, false, [](gfx::Rect r) {
        gfx::Color::redColor()->setFill();
        gfx::BezierPath::fillRect(r);
        return true;
    }));
    items[1]->setIdentifier(fnd::Value(model));
    a.bar->setStyleNamed("Capsule");
    settle();
    auto cell = a.cell("Beta");
    cell->setHasIcon(true);
    auto* style = dynamic_cast<ZTBCapsuleTabStyle*>(a.bar->style().get());
    ASSERT_TRUE(style);
    const gfx::Rect icon = style->iconRectForTabCell(*cell);
    ASSERT_EQ(icon.size, (gfx::Size { 12, 12 }));
    auto redAtIcon = [&] {
        auto context = gfx::GraphicsContext::createForBitmap(534, 22);
        {
            gfx::CurrentContextScope scope(context);
            style->drawTabBar(*a.bar, a.bar->bounds());
        }
        const auto p = (*context->pixelBuffer()).pixel(int(icon.midX()), 21 - int(icon.midY()));
        return gfx::redOf(p) > 200 && gfx::greenOf(p) < 60;
    };
    EXPECT_TRUE(redAtIcon());
    cell->setCloseButtonPressed(true);
    EXPECT_FALSE(redAtIcon());
}

TEST_F(TabStyleOffscreenTest, MetalAndAquaDrawASmallIconCentredAtItsOwnSize)
{
    auto model = fnd::makeObject<ZTBStyleIconModel>();
    model->setIcon(gfx::Image::imageWithSize({ 8, 8 }, false, [](gfx::Rect r) {
        gfx::Color::redColor()->setFill();
        gfx::BezierPath::fillRect(r);
        return true;
    }));
    items[0]->setIdentifier(fnd::Value(model));
    for (const char* name : { "Metal", "Aqua" }) {
        SCOPED_TRACE(name);
        a.bar->setStyleNamed(name);
        settle();
        auto cell = a.cell("Alpha");
        cell->setHasIcon(true);
        const gfx::Rect icon = a.bar->style()->iconRectForTabCell(*cell);
        ASSERT_EQ(icon.size, (gfx::Size { 16, 16 }));
        auto context = gfx::GraphicsContext::createForBitmap(534, 22);
        {
            gfx::CurrentContextScope scope(context);
            a.bar->style()->drawTabBar(*a.bar, a.bar->bounds());
        }
        auto red = [&](double x, double y) {
            const auto p = (*context->pixelBuffer()).pixel(int(x), 21 - int(y));
            return gfx::redOf(p) > 200 && gfx::greenOf(p) < 60;
        };
        // The 8-point icon covers the middle of its 16-point rect, 4 points in from each side, and no more.
        EXPECT_TRUE(red(icon.minX() + 5, icon.minY() + 5));
        EXPECT_TRUE(red(icon.maxX() - 5, icon.maxY() - 5));
        EXPECT_FALSE(red(icon.minX() + 2, icon.minY() + 2)) << "not stretched over the whole rect";
        EXPECT_FALSE(red(icon.maxX() - 2, icon.maxY() - 2));
    }
}

TEST_F(TabStyleOffscreenTest, AquaTakesTheCellsOwnTintBeforeThePlatforms)
{
    // The selected tab's strip: graphite for a cell tinted graphite, whatever the platform's tint.
    a.bar->setStyleNamed("Aqua");
    a.window->makeKeyAndOrderFront();
    settle();
    auto cell = a.cell("Beta");
    auto stripOf = [&](gfx::ControlTint tint) {
        cell->setControlTint(tint);
        auto context = gfx::GraphicsContext::createForBitmap(534, 22);
        {
            gfx::CurrentContextScope scope(context);
            a.bar->style()->drawTabBar(*a.bar, a.bar->bounds());
        }
        return (*context->pixelBuffer()).pixel(int(cell->frame().maxX() - 6), 21 - 11);
    };
    const auto platform = stripOf(gfx::ControlTint::Default);
    const auto graphite = stripOf(gfx::ControlTint::Graphite);
    const auto blue = stripOf(gfx::ControlTint::Blue);
    EXPECT_GT(distance(graphite, blue), 30) << "graphite and blue strips differ";
    EXPECT_EQ(platform, gfx::Color::currentControlTint() == gfx::ControlTint::Graphite ? graphite : blue);
}

TEST_F(TabStyleOffscreenTest, TheCardBarsBottomLineRunsUnderAllButTheSelectedTab)
{
    a.bar->setStyleNamed("Card");
    settle();
    auto style = a.bar->style();
    auto bottomRow = [&](double x) {
        auto context = gfx::GraphicsContext::createForBitmap(534, 22);
        {
            gfx::CurrentContextScope scope(context);
            gfx::Color::whiteColor()->setFill();
            context->fillRect({ 0, 0, 534, 22 });
            style->drawTabBar(*a.bar, a.bar->bounds());
        }
        // The line lies along the bar's maxY edge: the bitmap's top row here.
        return gfx::redOf((*context->pixelBuffer()).pixel(int(x), 0));
    };
    auto selected = a.cell("Beta");
    const double beyond = a.bar->bounds().maxX() - 2.0;
    EXPECT_LT(bottomRow(beyond), 200);
    EXPECT_GT(bottomRow(selected->frame().midX()), 200);
    for (const auto& cell : a.bar->cells())
        cell->setState(0);
    EXPECT_GT(bottomRow(beyond), 200);
}

}

#include "platform/ui/containers/Toolbar.h"

namespace {

TEST_F(TabStyleDrawingTest, UnderAToolbarWithItsBaselineUnifiedTabsBesideTheSelectedOneAreSeparatorLines)
{
    useStyle("Unified");
    auto first = a.cell("Alpha");
    // Just inside the first tab's left edge: the tab's fill without a separator, a light highlight line with one.
    const gfx::Point probe { first->frame().minX() + 1.5, first->frame().midY() };
    auto plain = shot("Unified-no-toolbar");
    auto toolbar = ui::Toolbar::create("ZTBStyleTestToolbar");
    toolbar->setShowsBaselineSeparator(true);
    a.window->setToolbar(toolbar, 0);
    a.bar->setNeedsDisplay(true);
    auto separated = shot("Unified-toolbar");
    EXPECT_GT(gfx::redOf(at(*separated, probe)), gfx::redOf(at(*plain, probe)) + 10);
    // The selected tab is a gradient tab either way.
    auto selected = a.cell("Beta");
    EXPECT_LT(distance(at(*separated, blankOf(*selected)), at(*plain, blankOf(*selected))), 12);
}

}
