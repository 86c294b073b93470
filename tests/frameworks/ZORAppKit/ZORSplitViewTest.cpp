// The split view with collapsible panes: collapse and expand by sibling mode, the controller's answers, the
// toolbar grip's rect, and the pane toolbar's layout, delimiters and dimming.
#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewController.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewExtensions.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbar.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarButton.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarDraggingHandle.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <fmt/format.h>
#include <limits>
#include <sstream>

namespace {

using namespace zortest;

std::string ZORSplitViewTestWidths(const ui::SplitView& split)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < split.subviews().size(); ++i) {
        auto& v = *split.subviews()[i];
        out << (i ? " " : "") << (split.isSubviewCollapsed(v) ? 0.0 : v.frame().width());
    }
    return out.str();
}

int ZORSplitViewTestLuminance(std::uint32_t p)
{
    return (gfx::redOf(p) * 299 + gfx::greenOf(p) * 587 + gfx::blueOf(p) * 114) / 1000;
}

// A vertical split view 302 points wide with thin dividers and three panes of 100, its controller the delegate.
class ZORSplitViewTest : public ZORAppKitTest {
protected:
    ZORSplitViewTest()
    {
        split = ZORSplitView::create({ 0, 0, 302, 200 });
        split->setVertical(true);
        split->setDividerStyle(ui::SplitViewDividerStyle::Thin);
        controller = ZORSplitViewController::create();
        split->setDelegate(controller);
        for (int i = 0; i < 3; ++i) {
            auto pane = ZORSplitSubview::create({ 0, 0, 100, 200 });
            pane->setIsCollapsible(true);
            panes.push_back(pane);
            split->addSubview(pane);
        }
        add(split);
        split->adjustSubviews();
        split->setPositionOfDivider(100, 0);
        split->setPositionOfDivider(201, 1);
    }
    std::string widths() const { return ZORSplitViewTestWidths(*split); }

    std::shared_ptr<ZORSplitView> split;
    std::shared_ptr<ZORSplitViewController> controller;
    std::vector<std::shared_ptr<ZORSplitSubview>> panes;
};

TEST_F(ZORSplitViewTest, PanesKnowTheirDefaultsAndTheirSplitView)
{
    auto pane = ZORSplitSubview::create({ 0, 0, 50, 50 });
    EXPECT_TRUE(pane->resizesWithSplitView());
    EXPECT_FALSE(pane->isCollapsible());
    EXPECT_EQ(pane->siblingResizeMode(), 0);
    EXPECT_EQ(pane->minSize(), 0);
    EXPECT_EQ(pane->maxSize(), 0);
    EXPECT_EQ(pane->toolbar(), nullptr);
    EXPECT_FALSE(pane->isCollapsed()) << "without a split view";
    EXPECT_EQ(pane->splitSubviewToExpand(), nullptr);

    auto inner = ui::View::create({ 0, 0, 10, 10 });
    panes[1]->addSubview(inner);
    EXPECT_EQ(ZORSplitViewExtensions::enclosingZORSplitView(*inner), split);
    EXPECT_EQ(ZORSplitViewExtensions::enclosingZORSplitSubview(*inner), panes[1]);
    EXPECT_EQ(ZORSplitViewExtensions::enclosingZORSplitSubview(*panes[1]), nullptr) << "never the view itself";

    // Made from a frame or by an interface file: the same default.
    EXPECT_TRUE(split->hideDividersOfCollapsedSubviews());
    EXPECT_TRUE(fnd::makeObject<ZORSplitView>()->hideDividersOfCollapsedSubviews());
}

TEST_F(ZORSplitViewTest, CollapsingGivesTheRoomToTheNamedSibling)
{
    ASSERT_EQ(widths(), "100 100 100");
    // The first pane has no previous one: divider 0 goes to its minimum, the next pane takes the room, and the
    // hidden divider's room too.
    panes[0]->setIsCollapsed(true);
    EXPECT_TRUE(panes[0]->isCollapsed());
    EXPECT_EQ(widths(), "0 201 100");
    panes[0]->setIsCollapsed(false);
    EXPECT_FALSE(panes[0]->isCollapsed());
    EXPECT_NEAR(panes[0]->frame().width(), 100, 1) << "back, less the divider it shows again";

    // With dividers that stay, a pane comes back exactly.
    split->setHideDividersOfCollapsedSubviews(false);
    split->setPositionOfDivider(100, 0);
    ASSERT_EQ(widths(), "100 100 100");
    // A middle pane, mode 0: the divider before it goes to its maximum; the previous pane grows.
    panes[1]->setIsCollapsed(true);
    EXPECT_EQ(widths(), "200 0 100");
    EXPECT_EQ(panes[1]->splitSubviewToExpand(), panes[0]);
    panes[1]->setIsCollapsed(false);
    EXPECT_EQ(widths(), "100 100 100");

    // Mode 1: the divider after it goes to its minimum; the next pane grows.
    panes[1]->setSiblingResizeMode(1);
    EXPECT_EQ(panes[1]->splitSubviewToExpand(), panes[2]);
    panes[1]->toggleCollapse({});
    EXPECT_EQ(widths(), "100 0 200");
    panes[1]->toggleCollapse({});
    EXPECT_EQ(widths(), "100 100 100");

    // The last pane naming a next one: there is no divider after it, nothing moves.
    panes[2]->setSiblingResizeMode(1);
    panes[2]->setIsCollapsed(true);
    EXPECT_EQ(widths(), "100 100 100");
    panes[2]->setSiblingResizeMode(7);
    EXPECT_EQ(panes[2]->splitSubviewToExpand(), nullptr);
}

TEST_F(ZORSplitViewTest, APaneThatMayNotCollapseBeeps)
{
    panes[1]->setIsCollapsible(false);
    int beeps = backend->beepCount();
    panes[1]->toggleCollapse({});
    EXPECT_EQ(backend->beepCount(), beeps + 1);
    EXPECT_EQ(widths(), "100 100 100");
    // The controller forbids it too, so collapsing by hand does nothing.
    split->collapseSubview(*panes[1]);
    EXPECT_EQ(widths(), "100 100 100");
}

// Answers only what a test sets.
class ZORSplitViewTestDelegate : public ZORSplitViewControllerDelegate {
public:
    std::optional<bool> splitViewCanCollapseSubview(ui::SplitView&, ui::View&) override { return canCollapse; }
    std::optional<double> splitViewConstrainMinCoordinate(ui::SplitView&, double, long) override { return minimum; }
    std::optional<bool> canCollapse;
    std::optional<double> minimum;
};

TEST_F(ZORSplitViewTest, TheControllerAnswersFromThePanesUnlessItsDelegateDoes)
{
    auto& c = *controller;
    EXPECT_EQ(c.splitViewCanCollapseSubview(*split, *panes[0]), true);
    EXPECT_EQ(c.splitViewShouldHideDividerAtIndex(*split, 0), true);
    // Minimum coordinate: unchanged without a minimum size, else moved by it.
    EXPECT_EQ(c.splitViewConstrainMinCoordinate(*split, 40, 0), 40);
    panes[0]->setMinSize(30);
    EXPECT_EQ(c.splitViewConstrainMinCoordinate(*split, 40, 0), 70);
    // Maximum coordinate: the next pane's minimum; without one the proposal stands (the pane's own minimum is the
    // minimum coordinate's business).
    EXPECT_EQ(c.splitViewConstrainMaxCoordinate(*split, 200, 0), 200);
    panes[1]->setMinSize(25);
    EXPECT_EQ(c.splitViewConstrainMaxCoordinate(*split, 200, 0), 175);
    EXPECT_EQ(c.splitViewConstrainMaxCoordinate(*split, 300, 1), 300);
    panes[2]->setResizesWithSplitView(false);
    EXPECT_EQ(c.splitViewShouldAdjustSizeOfSubview(*split, *panes[2]), false);
    EXPECT_EQ(c.splitViewAdditionalEffectiveRectOfDividerAtIndex(*split, 0), gfx::Rect()) << "no grip";

    auto d = std::make_shared<ZORSplitViewTestDelegate>();
    c.setDelegate(d);
    d->canCollapse = false;
    d->minimum = 5;
    EXPECT_EQ(c.splitViewCanCollapseSubview(*split, *panes[0]), false);
    EXPECT_EQ(c.splitViewConstrainMinCoordinate(*split, 40, 0), 5);
    split->collapseSubview(*panes[0]);
    EXPECT_EQ(widths(), "100 100 100") << "the delegate's no stops it";
}

// A pane's limits are held within 0 (no limit) and ten million points however they are given, as its archive reads
// them: a minimum of 1e308 or infinity was written into an archive that then was refused.
TEST_F(ZORSplitViewTest, ExtremeLimitsAreBoundedSoTheSplitViewArchivesWhatItReadsBack)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    const struct {
        double given, kept;
    } cases[]
        = { { NaN, 0 }, { Infinity, 1e7 }, { -Infinity, 0 }, { 1e308, 1e7 }, { -1, 0 }, { 1e7, 1e7 }, { 12.5, 12.5 } };
    const auto roundTrip = [](const std::shared_ptr<ZORSplitView>& view, const std::string& what) {
        auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
        ASSERT_TRUE(data) << what;
        auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<ZORSplitView>();
        ASSERT_NE(copy, nullptr) << what << " is not read back";
        auto again = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(copy));
        ASSERT_TRUE(again) << what;
        EXPECT_TRUE(*again == *data) << what << " archives differently once read back";
    };
    for (const auto& c : cases) {
        const std::string what = fmt::format("limits of {}", c.given);
        panes[0]->setMinSize(c.given);
        panes[1]->setMaxSize(c.given);
        EXPECT_EQ(panes[0]->minSize(), c.kept) << what;
        EXPECT_EQ(panes[1]->maxSize(), c.kept) << what;
        split->setPositionOfDivider(150, 0);
        EXPECT_TRUE(std::isfinite(panes[0]->frame().width())) << what;
        roundTrip(split, what);
    }
    // Sound limits again: the dividers go where they are put.
    panes[0]->setMinSize(0);
    panes[1]->setMaxSize(0);
    split->setPositionOfDivider(100, 0);
    split->setPositionOfDivider(201, 1);
    EXPECT_EQ(widths(), "100 100 100");

    // An interface file's limits are held the same way.
    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(R"(<interface>
  <object id="split" class="ZORSplitView">
    <rect key="frame" x="0" y="0" width="302" height="200"/>
    <subviews>
      <object id="pane" class="ZORSplitSubview">
        <rect key="frame" x="0" y="0" width="100" height="200"/>
        <real key="minSize">1e308</real>
        <real key="maxSize">-1</real>
      </object>
    </subviews>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto pane = std::dynamic_pointer_cast<ZORSplitSubview>(loaded->objectsById.at("pane"));
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->minSize(), 1e7);
    EXPECT_EQ(pane->maxSize(), 0);
    roundTrip(std::dynamic_pointer_cast<ZORSplitView>(loaded->objectsById.at("split")), "an interface file's limits");
}

TEST_F(ZORSplitViewTest, AToolbarGripWidensTheDividersReach)
{
    auto content = ui::View::create({ 0, 0, 100, 200 });
    panes[0]->addSubview(content);
    panes[0]->installToolbar();
    auto bar = panes[0]->toolbar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->frame(), gfx::Rect(0, 0, 100, 24));
    EXPECT_EQ(content->frame(), gfx::Rect(0, 24, 100, 176)) << "the last subview makes room";
    EXPECT_EQ(bar->enclosingSplitView(), split);
    EXPECT_EQ(bar->dividerIndexNearestToHandle(), 0);

    bar->setDrawDraggingButton(true);
    ASSERT_NE(bar->draggingHandler(), nullptr);
    EXPECT_EQ(bar->draggingHandler()->frame(), gfx::Rect(80, 0, 20, 24)) << "on the bar, whatever the pane's place";
    EXPECT_TRUE(bar->draggingHandler()->isVertical());
    EXPECT_EQ(controller->splitViewAdditionalEffectiveRectOfDividerAtIndex(*split, 0), gfx::Rect(85, 176, 15, 24));
    bar->setDrawDraggingButtonOnRight(false);
    EXPECT_EQ(bar->draggingHandler()->frame(), gfx::Rect(0, 0, 20, 24));
    EXPECT_EQ(controller->splitViewAdditionalEffectiveRectOfDividerAtIndex(*split, 0), gfx::Rect(0, 176, 15, 24));

    // A bar in the last pane is nearest to the last divider.
    panes[2]->installToolbar();
    EXPECT_TRUE(panes[2]->toolbar()->isInLastSubview());
    EXPECT_EQ(panes[2]->toolbar()->dividerIndexNearestToHandle(), 1);
}

class ZORSplitViewToolbarTest : public ZORAppKitTest {
protected:
    ZORSplitViewToolbarTest()
    {
        bar = ZORSplitViewToolbar::create();
        bar->setFrame({ 0, 0, 200, 24 });
        add(bar);
    }
    std::shared_ptr<ZORSplitViewToolbarButton> button(int align, double width = 28)
    {
        auto b = ZORSplitViewToolbarButton::create();
        b->setToolbarButtonAlign(align);
        b->setToolbarButtonWidth(width);
        bar->addItem(b);
        return b;
    }
    std::shared_ptr<ZORSplitViewToolbar> bar;
};

TEST_F(ZORSplitViewToolbarTest, ButtonWidthsFollowImageAndTitle)
{
    EXPECT_EQ(bar->height(), 24);
    EXPECT_EQ(bar->anchoredEdge(), ZORSplitViewToolbar::AnchoredEdge::Bottom);
    EXPECT_TRUE(bar->isItemDelimiterEnabled());
    EXPECT_TRUE(bar->drawDraggingButtonOnRight());

    auto plain = button(0);
    EXPECT_EQ(plain->frame().size, gfx::Size(28, 23)) << "neither: its own width; a point below the bar's height";
    auto imaged = ZORSplitViewToolbarButton::create();
    imaged->setImage(solidImage({ 16, 16 }, gfx::Color::blackColor()));
    bar->addItem(imaged);
    EXPECT_EQ(imaged->frame().width(), 36) << "max(16 + 20, 28)";
    auto titled = ZORSplitViewToolbarButton::create();
    titled->setTitle("Add a row");
    double tw = titled->attributedTitle()->size().width;
    ASSERT_GT(tw, 20);
    bar->addItem(titled);
    EXPECT_EQ(titled->frame().width(), std::max(tw + 20, 28.0));
    auto both = ZORSplitViewToolbarButton::create();
    both->setImage(solidImage({ 16, 16 }, gfx::Color::blackColor()));
    both->setTitle("Add a row");
    bar->addItem(both);
    EXPECT_EQ(both->frame().width(), 16 + tw + 30);

    bar->removeItem(titled);
    EXPECT_EQ(bar->items().size(), 3u);
    EXPECT_EQ(titled->superview(), nullptr);
    bar->removeAllItems();
    EXPECT_TRUE(bar->items().empty());
    EXPECT_TRUE(bar->subviews().empty());
}

TEST_F(ZORSplitViewToolbarTest, ButtonsSitAtBothEndsWithDelimitersBetween)
{
    auto a = button(0);
    auto b = button(0);
    auto c = button(1);
    bar->recalculateItemPositions();
    EXPECT_EQ(a->frame().origin, gfx::Point(0, 0));
    EXPECT_EQ(b->frame().origin, gfx::Point(29, 0));
    EXPECT_EQ(c->frame().origin, gfx::Point(172, 0));
    EXPECT_EQ(bar->delimiterOffsets(), (std::vector<double> { 28, 57, 171 }));

    // With a grip on the right (here outside a split view: 20 points), the right button moves off it.
    bar->setDrawDraggingButton(true);
    EXPECT_EQ(c->frame().origin, gfx::Point(152, 0));
    bar->setDrawDraggingButton(false);

    // Without delimiters the buttons touch; centred, they sit in the middle.
    bar->setItemDelimiterEnabled(false);
    bar->recalculateItemPositions();
    EXPECT_EQ(b->frame().minX(), 28);
    bar->setItemDelimiterEnabled(true);
    bar->setContentAlign(ZORSplitViewToolbar::ContentAlign::Centered);
    EXPECT_EQ(a->frame().minX(), 0) << "not before the next drawing";
    windowShot("split-toolbar-centred");
    EXPECT_EQ(a->frame().minX(), 57) << "ceil((200 - 87) / 2)";
    EXPECT_EQ(b->frame().minX(), 86);
    EXPECT_EQ(c->frame().minX(), 115);
    EXPECT_EQ(bar->delimiterOffsets(), (std::vector<double> { 56, 85, 114, 143 }));
}

TEST_F(ZORSplitViewToolbarTest, AGripAtTheTopOfAStackedPaneIsNotMade)
{
    auto stacked = ZORSplitView::create({ 0, 0, 200, 200 });
    stacked->setVertical(false);
    bar->setEnclosingSplitView(stacked);
    bar->setAnchoredEdge(ZORSplitViewToolbar::AnchoredEdge::Top);
    auto b = button(0);
    b->setFrameOrigin({ 50, 50 });
    bar->setDrawDraggingButton(true);
    EXPECT_EQ(bar->draggingHandler(), nullptr);
    EXPECT_EQ(b->frame().origin, gfx::Point(0, 1)) << "laid out all the same, a point up at the top edge";
}

TEST_F(ZORSplitViewToolbarTest, EnableAndDisablePostTheirNames)
{
    std::vector<std::string> heard;
    auto& center = fnd::NotificationCenter::defaultCenter();
    auto on = center.addObserverForName(ZORSplitViewToolbarNotification::ItemsEnable, {},
        [&](const fnd::Notification& n) { heard.push_back(n.name().utf8()); });
    auto off = center.addObserverForName(ZORSplitViewToolbarNotification::ItemsDisable, {},
        [&](const fnd::Notification& n) { heard.push_back(n.name().utf8()); });
    bar->enable();
    bar->disable();
    center.removeObserver(on);
    center.removeObserver(off);
    EXPECT_EQ(
        heard, (std::vector<std::string> { "ToolbarItemsEnableNotification", "ToolbarItemsDisableNotification" }));
}

TEST_F(ZORSplitViewToolbarTest, ColoursTurnPaleInAWindowThatIsNotKey)
{
    auto b = button(0);
    b->setImage(solidImage({ 12, 12 }, gfx::Color::blackColor()));
    auto cell = std::dynamic_pointer_cast<ZORSplitViewToolbarButtonCell>(b->cell());
    ASSERT_NE(cell, nullptr);
    // Images show at once, before any window changed its key state.
    EXPECT_EQ(cell->imageOpacity(*b), 1.0);
    auto key = windowShot("split-toolbar-key");
    deactivateWindow();
    EXPECT_EQ(cell->imageOpacity(*b), 0.42);
    auto pale = windowShot("split-toolbar-not-key");
    // The background between the buttons and the separator line, and the image.
    for (gfx::Point p : { gfx::Point { 120, 12 }, gfx::Point { 120, 23.5 }, gfx::Point { 14, 12 } }) {
        int before = ZORSplitViewTestLuminance(windowPixel(*key, *bar, p));
        int after = ZORSplitViewTestLuminance(windowPixel(*pale, *bar, p));
        EXPECT_GT(after, before + 10) << p.x << ", " << p.y;
    }
    // Each window shows its own state: a bar in the other (now key) window is not pale.
    auto other = ZORSplitViewToolbar::create();
    other->setFrame({ 0, 0, 100, 24 });
    otherWindow->contentView()->addSubview(other);
    EXPECT_TRUE(other->isInKeyWindow());
    EXPECT_FALSE(bar->isInKeyWindow());
}

TEST_F(ZORSplitViewToolbarTest, ButtonsShowTheStandardImagesByCode)
{
    bar->setFrame({ 0, 0, 320, 24 });
    for (int code = 1; code <= ZORSplitViewToolbarButton::StandardImageCount; ++code) {
        auto b = ZORSplitViewToolbarButton::create();
        b->setToolbarButtonWidth(22);
        b->setToolbarButtonImage(code);
        ASSERT_NE(b->image(), nullptr) << code;
        EXPECT_EQ(b->image()->name(), ZORSplitViewToolbarButton::standardImageName(code));
        bar->addItem(b);
    }
    auto b = ZORSplitViewToolbarButton::create();
    b->setToolbarButtonImage(1);
    auto add = b->image();
    b->setToolbarButtonImage(14);
    EXPECT_EQ(b->toolbarButtonImage(), 14);
    EXPECT_EQ(b->image(), add) << "other codes leave the image";
    auto shot = windowShot("split-toolbar-images");
    // The add glyph's bar crosses the middle of the first button.
    EXPECT_LT(ZORSplitViewTestLuminance(windowPixel(*shot, *bar->items()[0], { 17, 11.5 })), 100);
}

TEST_F(ZORSplitViewToolbarTest, TheGripDrawsThreeLines)
{
    auto grip = ZORSplitViewToolbarDraggingHandle::create({ 0, 0, 20, 24 });
    auto lines = grip->lineRects();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], gfx::Rect(5, 7, 10, 1)) << "start ceil((24 + 1 - 11) / 2)";
    EXPECT_EQ(lines[2], gfx::Rect(5, 15, 10, 1));
    grip->setVertical(true);
    lines = grip->lineRects();
    EXPECT_EQ(lines[0], gfx::Rect(14, 3, 1, 18));
    EXPECT_EQ(lines[2], gfx::Rect(6, 3, 1, 18));
}

}

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

namespace {

// Made with a frame a split view hides the dividers of collapsed panes; decoded from an archive that does not say, it
// does not; an archive that says keeps the setting. Panes keep their settings and toolbars through an archive.
TEST(ZORSplitViewArchive, HidingDividersDependsOnHowTheSplitViewIsMadeAndPanesKeepTheirSettings)
{
    auto split = ZORSplitView::create({ 0, 0, 400, 200 });
    EXPECT_TRUE(split->hideDividersOfCollapsedSubviews());
    auto pane = ZORSplitSubview::create({ 0, 0, 200, 200 });
    pane->setIsCollapsible(true);
    pane->setSiblingResizeMode(1);
    pane->setMinSize(80);
    pane->installToolbar();
    split->addSubview(pane);
    split->setVertical(true);

    auto data = *fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(split));
    auto back = fnd::KeyedUnarchiver::unarchiveObjectWithData(data).objectAs<ZORSplitView>();
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->hideDividersOfCollapsedSubviews()) << "the archive says";
    EXPECT_TRUE(back->isVertical());
    auto backPane = std::dynamic_pointer_cast<ZORSplitSubview>(back->subviews().at(0));
    ASSERT_NE(backPane, nullptr);
    EXPECT_TRUE(backPane->isCollapsible());
    EXPECT_EQ(backPane->siblingResizeMode(), 1);
    EXPECT_EQ(backPane->minSize(), 80);
    ASSERT_NE(backPane->toolbar(), nullptr);
    EXPECT_EQ(backPane->toolbar()->superview(), backPane);

    std::string xml(data.view());
    auto at = xml.find("<key>hideDividersOfCollapsedSubviews</key>");
    ASSERT_NE(at, std::string::npos);
    xml.replace(at, std::string("<key>hideDividersOfCollapsedSubviews</key>").size(), "<key>unrelated</key>");
    auto silent = fnd::KeyedUnarchiver::unarchiveObjectWithData(fnd::Data::fromString(xml)).objectAs<ZORSplitView>();
    ASSERT_NE(silent, nullptr);
    EXPECT_FALSE(silent->hideDividersOfCollapsedSubviews());
}

}
