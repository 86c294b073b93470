#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarButtonCell.h"
#include "frameworks/QFTabBarView/styles/QFAquaTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFCapsuleTabStyle.h"
#include "frameworks/tab-bar-core/TabResources.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Toolbar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace qftest;

namespace {

// What a style shows differently, state by state, compared with the plain bar (three tabs, the middle one selected,
// the window key, no toolbar).
struct StyleLook {
    const char* name;
    bool vertical; // draws a vertical bar
    bool hover; // a hovered tab looks different
    bool inactive; // an inactive window looks different
    bool toolbar; // a shown toolbar without a baseline separator looks different
    bool separator; // a shown toolbar with a baseline separator looks different
};

const StyleLook StyleLooks[] = {
    { "Metal", true, true, true, true, false },
    { "Aqua", true, true, true, false, false },
    { "Unified", false, true, true, true, true },
    { "Capsule", true, true, false, false, false },
    { "Card", false, true, true, false, false },
    { "Lively", false, true, true, false, true },
    { "Slate", false, false, true, false, false },
};

const char* const States[]
    = { "plain", "hover", "pressed", "overflow", "toolbar", "separator", "inactive", "vertical" };

// The bar's pixels, cut out of a window snapshot, with reads in the bar's own (flipped) points.
struct BarPicture {
    std::shared_ptr<gfx::BitmapImageRep> pixels;

    std::uint32_t at(gfx::Point p) const
    {
        if (!pixels)
            return 0;
        auto view = pixels->pixelBuffer();
        const int x = std::clamp(static_cast<int>(p.x), 0, view.width - 1);
        const int y = std::clamp(static_cast<int>(p.y), 0, view.height - 1);
        return view.pixel(x, y);
    }
    bool operator==(const BarPicture& other) const
    {
        if (!pixels || !other.pixels)
            return false;
        auto a = pixels->pixelBuffer();
        auto b = other.pixels->pixelBuffer();
        if (a.width != b.width || a.height != b.height)
            return false;
        for (int y = 0; y < a.height; ++y)
            if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(a.width) * 4) != 0)
                return false;
        return true;
    }
};

class QFTabStylesRenderTest : public TabBarTest {
protected:
    BarPicture render(const StyleLook& look, const std::string& state)
    {
        auto w = BarWindow::make({ 100, 400 }, 440, 140);
        windows.push_back(w);
        if (state == "vertical") {
            w.bar->setFrame({ 0, 0, 90, 118 });
            w.bar->setOrientation(QFTabBarOrientation::Vertical);
        }
        w.bar->setStyleNamed(look.name);
        if (prepare)
            prepare(*w.bar);
        const int count = state == "overflow" ? 12 : 3;
        for (int i = 0; i < count; ++i)
            w.addItem(std::string(1, char('A' + i)));
        settle();
        w.tabView->selectTabViewItemAtIndex(1);
        for (const auto& button : w.bar->attachedButtons())
            button->setHasCloseButton(true);
        settle();
        auto c = w.button("C");
        if (!c || !w.button("A") || !w.button("B")) {
            ADD_FAILURE() << look.name << " " << state << ": the tabs are missing, bar shows " << w.barLabels().size();
            return {};
        }
        if (state == "hover")
            c->mouseEntered(*ui::Event::enterExitEventWithType(
                ui::EventType::MouseEntered, {}, 0, 0, w.window->windowNumber(), 0, 0, {}));
        if (state == "pressed") {
            backend->mouseDown(*w.window, w.centreOf("C"));
            backend->dispatchEvents();
        }
        if (state == "toolbar" || state == "separator") {
            auto toolbar = ui::Toolbar::create("QFTabStylesRenderTest");
            toolbar->setShowsBaselineSeparator(state == "separator");
            w.window->setToolbar(toolbar, 0);
        }
        if (state == "inactive") {
            auto other = ui::Window::create({ { 0, 0 }, { 40, 40 } });
            other->makeKeyAndOrderFront();
            otherWindows.push_back(other);
        }
        settle();
        w.bar->setNeedsDisplay(true);
        auto shot = backend->imageOfWindow(*w.window);
        if (state == "pressed") {
            backend->mouseUp(*w.window, w.centreOf("C"));
            settle();
        }
        const gfx::Rect r = w.bar->convertRectToView(w.bar->bounds(), nullptr);
        BarPicture picture { crop(*shot, *w.window, r) };
        pictures[look.name][state] = picture;
        frames[look.name][state] = { w.button("A")->frame(), w.button("B")->frame(), w.button("C")->frame() };
        lastBar = w.bar;
        return picture;
    }

    // The rect (window base points, y up) cut out at one pixel per point.
    static std::shared_ptr<gfx::BitmapImageRep> crop(const gfx::BitmapImageRep& shot, ui::Window& window, gfx::Rect r)
    {
        auto source = shot.pixelBuffer();
        const double windowHeight = window.contentView()->frame().height();
        const int w = static_cast<int>(r.width()), h = static_cast<int>(r.height());
        auto out = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
        auto target = out->pixelBuffer();
        const int top = static_cast<int>(windowHeight - r.maxY());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = std::clamp(static_cast<int>(r.minX()) + x, 0, source.width - 1);
                const int sy = std::clamp(top + y, 0, source.height - 1);
                target.row(y)[x] = source.pixel(sx, sy);
            }
        return out;
    }

    // A point inside a tab, clear of its title and its close button.
    static gfx::Point probe(gfx::Rect frame) { return { frame.maxX() - 5, frame.midY() + 4 }; }

    // Applied to each bar right after its style is set.
    std::function<void(QFTabBarView&)> prepare;
    std::vector<BarWindow> windows;
    std::vector<std::shared_ptr<ui::Window>> otherWindows;
    std::map<std::string, std::map<std::string, BarPicture>> pictures;
    std::map<std::string, std::map<std::string, std::vector<gfx::Rect>>> frames;
    std::shared_ptr<QFTabBarView> lastBar;

    // All pictures side by side, one row per style, one column per state, for a person to look at.
    void writeContactSheet()
    {
        const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS");
        if (!folder)
            return;
        const int cellWidth = 446, gap = 4;
        std::vector<int> rowHeights;
        for (const auto& look : StyleLooks) {
            int h = 0;
            for (const auto& [state, picture] : pictures[look.name])
                h = std::max(h, static_cast<int>(picture.pixels->pixelBuffer().height));
            rowHeights.push_back(h + gap);
        }
        int height = gap;
        for (int h : rowHeights)
            height += h;
        const int columns = static_cast<int>(std::size(States));
        auto sheet
            = gfx::BitmapImageRep::create(columns * cellWidth + gap, height, gfx::BitmapLayout::ARGB32Premultiplied);
        auto target = sheet->pixelBuffer();
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x)
                target.row(y)[x] = 0xFFFFFFFFu;
        int top = gap;
        for (std::size_t row = 0; row < std::size(StyleLooks); ++row) {
            for (int column = 0; column < columns; ++column) {
                auto found = pictures[StyleLooks[row].name].find(States[column]);
                if (found == pictures[StyleLooks[row].name].end())
                    continue;
                auto source = found->second.pixels->pixelBuffer();
                for (int y = 0; y < source.height; ++y)
                    for (int x = 0; x < std::min(source.width, cellWidth - gap); ++x) {
                        // Composed over white, so translucent bars show as they would on a light window.
                        const std::uint32_t p = source.pixel(x, y);
                        const std::uint32_t a = p >> 24;
                        auto channel = [&](int shift) { return ((p >> shift) & 0xFF) + (255 - a); };
                        target.row(top + y)[gap + column * cellWidth + x]
                            = 0xFF000000u | (channel(16) << 16) | (channel(8) << 8) | channel(0);
                    }
            }
            top += rowHeights[row];
        }
        (void)sheet->writeToFile(
            fnd::String(std::string(folder) + "/QFTabStyles-contact-sheet.png"), gfx::BitmapImageFileType::PNG);
    }
};

}

TEST_F(QFTabStylesRenderTest, EveryStyleInEveryStateDrawsWhatItsStateAsks)
{
    for (const auto& look : StyleLooks) {
        SCOPED_TRACE(look.name);
        const BarPicture plain = render(look, "plain");
        const auto& f = frames[look.name]["plain"];
        EXPECT_NE(plain.at(probe(f[1])), plain.at(probe(f[0]))) << "the selected tab stands out";
        EXPECT_NE(plain.at(probe(f[1])), plain.at(probe(f[2])));

        const BarPicture hover = render(look, "hover");
        EXPECT_EQ(hover.at(probe(f[2])) != plain.at(probe(f[2])), look.hover) << "hover";
        EXPECT_EQ(hover.at(probe(f[0])), plain.at(probe(f[0]))) << "only the hovered tab changes";

        const BarPicture pressed = render(look, "pressed");
        EXPECT_NE(pressed.at(probe(f[2])), plain.at(probe(f[2]))) << "a pressed tab is selected at once";
        EXPECT_EQ(pressed.at(probe(f[2])), plain.at(probe(f[1]))) << "and looks like the selected one";

        render(look, "overflow");
        EXPECT_TRUE(lastBar->isOverflowButtonVisible()) << "twelve tabs overflow a 440-point bar";

        EXPECT_EQ(!(render(look, "toolbar") == plain), look.toolbar) << "toolbar";
        EXPECT_EQ(!(render(look, "separator") == plain), look.separator) << "toolbar with a separator";
        EXPECT_EQ(!(render(look, "inactive") == plain), look.inactive) << "inactive window";

        if (look.vertical) {
            const BarPicture vertical = render(look, "vertical");
            const auto& v = frames[look.name]["vertical"];
            EXPECT_NE(vertical.at(probe(v[1])), vertical.at(probe(v[0]))) << "vertical: the selected tab stands out";
        }
    }
    writeContactSheet();
}

TEST_F(QFTabStylesRenderTest, AquaBackgroundFollowsTheBarsHeightNotTheDirtyRect)
{
    auto style = QFAquaTabStyle::create();
    a.bar->setStyle(style);
    struct Case {
        double barHeight;
        gfx::Rect dirty;
        bool drawn;
    };
    const Case cases[] = {
        { 22, { 0, 0, 300, 22 }, true },
        { 22, { 0, 0, 300, 200 }, true }, // a tall dirty rect (a whole-window redraw) still gets the strip
        { 30, { 0, 0, 300, 10 }, false }, // a bar taller than the strip stays bare
    };
    for (const auto& c : cases) {
        a.bar->setFrameSize({ 300, c.barHeight });
        auto context = gfx::GraphicsContext::createForBitmap(300, static_cast<int>(c.barHeight), {}, true);
        {
            gfx::CurrentContextScope scope(context);
            style->drawBezelOfTabBarView(*a.bar, c.dirty);
        }
        context->flush();
        const std::uint32_t middle = context->pixelBuffer()->pixel(150, 10);
        EXPECT_EQ((middle >> 24) != 0, c.drawn) << "bar " << c.barHeight << ", dirty height " << c.dirty.height();
    }
}

TEST_F(QFTabStylesRenderTest, CapsuleSwitchesChangeTheSelectedTabAndTheEdge)
{
    const StyleLook& capsule = StyleLooks[3];
    ASSERT_STREQ(capsule.name, "Capsule");
    auto withSwitches = [&](bool unified, bool right) {
        prepare = [=](QFTabBarView& bar) {
            auto style = std::dynamic_pointer_cast<QFCapsuleTabStyle>(bar.style());
            style->setDrawsUnified(unified);
            style->setDrawsRight(right);
        };
    };
    withSwitches(false, false);
    const BarPicture plain = render(capsule, "plain");
    const BarPicture left = render(capsule, "vertical");
    const auto& v = frames["Capsule"]["vertical"];
    withSwitches(true, false);
    const BarPicture unified = render(capsule, "plain");
    const auto& f = frames["Capsule"]["plain"];
    EXPECT_NE(unified.at(probe(f[1])), plain.at(probe(f[1]))) << "a flat gradient instead of the picture";
    EXPECT_NE(unified.at(probe(f[0])), plain.at(probe(f[0]))) << "and the strip is the unified gradient";
    withSwitches(false, true);
    const BarPicture right = render(capsule, "vertical");
    // The edge line stands at the bar's right side, or at its left side for a bar at the window's right edge.
    const gfx::Point nearRight { 89, v[2].maxY() + 10 }, nearLeft { 0, v[2].maxY() + 10 };
    EXPECT_NE(left.at(nearRight), right.at(nearRight));
    EXPECT_NE(left.at(nearLeft), right.at(nearLeft));
}

namespace {

// A colour as the opaque pixel it shows as (8 bits a channel), and a pixel scaled channel by channel.
struct RenderRGB {
    int r, g, b;
    static RenderRGB of(std::uint32_t p) { return { gfx::redOf(p), gfx::greenOf(p), gfx::blueOf(p) }; }
    static RenderRGB of(const gfx::ColorPtr& c)
    {
        auto round = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
        return { round(c->redComponent()), round(c->greenComponent()), round(c->blueComponent()) };
    }
    RenderRGB scaled(double f) const
    {
        return { int(std::lround(r * f)), int(std::lround(g * f)), int(std::lround(b * f)) };
    }
    bool near(const RenderRGB& o, int tolerance = 2) const
    {
        return std::abs(r - o.r) <= tolerance && std::abs(g - o.g) <= tolerance && std::abs(b - o.b) <= tolerance;
    }
};

std::ostream& operator<<(std::ostream& out, const RenderRGB& c)
{
    return out << "rgb(" << c.r << ", " << c.g << ", " << c.b << ")";
}

}

// A 22-point strip picture of the tab bar view's bundle, upright, at the probes' row (15 points from the top).
RenderRGB stripColour(const char* name)
{
    auto image = tbcore::namedImage("QFTabBarView", name);
    auto context = gfx::GraphicsContext::createForBitmap(1, 22);
    if (image) {
        gfx::CurrentContextScope scope(context);
        image->drawInRect({ 0, 0, 1, 22 }, { 0, 0, 1, 22 }, gfx::CompositingOperation::SourceOver, 1.0, true);
    }
    return RenderRGB::of((*context->pixelBuffer()).pixel(0, 15));
}

TEST_F(QFTabStylesRenderTest, ProbesShowTheColoursEachStateAsksFor)
{
    // Each style in the plain, hovered and inactive states, read in the selected tab (B), a plain one (A) and the
    // one under the pointer (C), against the colours the looks are made of: the window background, translucent
    // black laid over what is there (source-atop: 20 % for a bar or selected box, 10 % for a hovered tab), the
    // Unified strip's grey (white 0.835 to 0.843, about 0.839 where probed) and Aqua's pictures.
    const RenderRGB window = RenderRGB::of(gfx::Color::windowBackgroundColor());
    const RenderRGB unifiedStrip = RenderRGB::of(gfx::Color::colorWithCalibratedWhite(0.839, 1.0));
    const RenderRGB aquaStrip = stripColour("AquaTabsBackground");
    const RenderRGB aquaSelected = stripColour(
        gfx::Color::currentControlTint() == gfx::ControlTint::Graphite ? "AquaTabsDownGraphite" : "AquaTabsDown");
    struct Expect {
        const char* style;
        const char* state;
        std::optional<RenderRGB> selected, plain, hovered;
    };
    const Expect expectations[] = {
        { "Metal", "plain", window, window.scaled(0.8), window.scaled(0.8) },
        { "Metal", "hover", window, window.scaled(0.8), window.scaled(0.8 * 0.9) },
        { "Metal", "inactive", window, window.scaled(0.9), window.scaled(0.9) },
        { "Aqua", "plain", aquaSelected, aquaStrip, aquaStrip },
        { "Aqua", "hover", aquaSelected, aquaStrip, aquaStrip.scaled(0.9) },
        { "Aqua", "inactive", stripColour("AquaTabsDownNonKey"), aquaStrip, aquaStrip },
        { "Unified", "plain", unifiedStrip.scaled(0.8), unifiedStrip, unifiedStrip },
        { "Unified", "hover", unifiedStrip.scaled(0.8), unifiedStrip, unifiedStrip.scaled(0.9) },
        { "Unified", "inactive", window.scaled(0.8), window, window },
        { "Card", "inactive", window, {}, {} },
        { "Lively", "inactive", {}, window, window },
    };
    for (const auto& e : expectations) {
        SCOPED_TRACE(std::string(e.style) + " " + e.state);
        const auto* look = std::find_if(std::begin(StyleLooks), std::end(StyleLooks),
            [&](const StyleLook& l) { return e.style == std::string(l.name); });
        ASSERT_NE(look, std::end(StyleLooks));
        const BarPicture picture = render(*look, e.state);
        const auto& f = frames[e.style][e.state];
        const std::pair<const std::optional<RenderRGB>&, gfx::Rect> probes[]
            = { { e.selected, f[1] }, { e.plain, f[0] }, { e.hovered, f[2] } };
        const char* names[] = { "selected", "plain", "hovered" };
        for (std::size_t i = 0; i < 3; ++i) {
            if (!probes[i].first)
                continue;
            const RenderRGB seen = RenderRGB::of(picture.at(probe(probes[i].second)));
            EXPECT_TRUE(seen.near(*probes[i].first))
                << names[i] << " tab shows " << seen << ", not " << *probes[i].first;
        }
    }
    // Under the pointer a tab darkens by the same tenth in every style with a hover fill.
    for (const char* name : { "Metal", "Aqua", "Unified", "Capsule" }) {
        SCOPED_TRACE(name);
        const auto* look = std::find_if(std::begin(StyleLooks), std::end(StyleLooks),
            [&](const StyleLook& l) { return name == std::string(l.name); });
        const BarPicture plain = render(*look, "plain");
        const BarPicture hover = render(*look, "hover");
        const auto& f = frames[name]["hover"];
        const RenderRGB before = RenderRGB::of(plain.at(probe(f[2])));
        EXPECT_TRUE(RenderRGB::of(hover.at(probe(f[2]))).near(before.scaled(0.9)));
    }
}
