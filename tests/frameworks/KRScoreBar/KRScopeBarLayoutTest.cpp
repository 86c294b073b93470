#include "KRScopeBarScene.h"
#include "support/Raised.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

namespace {

using krtest::layoutState;
using krtest::makeScene;
using krtest::overflowTitles;

constexpr double KRLayoutTestM = 11; // side margin, group spacing and accessory gap

void krLayoutTestResize(KRScopeBar& bar, double width)
{
    bar.setFrameSize({ width, bar.frame().height() });
    bar.adjustSubviews();
    bar.calcSize();
}

// Everything the layout promises at any width: groups in order from the margin with the spacing between them, each
// button inside its group's button area, buttons in order without overlap, nothing wider than its maximum.
void krLayoutTestCheckInvariants(KRScopeBar& bar, double width)
{
    double x = KRLayoutTestM;
    for (const auto& helper : bar.groupHelpers()) {
        auto frame = helper->frame();
        EXPECT_DOUBLE_EQ(frame.minX(), x) << "width " << width;
        EXPECT_GE(frame.width(), 0) << "width " << width;
        // The cuts of the groups are rounded, halves up, so the last group may end one point over its maximum.
        EXPECT_LE(frame.width(), double(helper->maximumWidth()) + 1) << "width " << width;
        if (!helper->isPeeled() && bar.autoResizesGroups()) {
            EXPECT_GE(frame.width() + 0.5, double(helper->minimumWidth())) << "width " << width;
        }
        x = std::trunc(x + frame.width() + KRLayoutTestM);
        if (helper->group()->isCollapsed() || helper->isPeeled())
            continue;
        double last = -1e9;
        const auto& rects = helper->buttonRects();
        ASSERT_EQ(rects.size(), helper->numberOfVisibleItems()) << "width " << width;
        for (const auto& r : rects) {
            EXPECT_GE(r.minX(), last) << "buttons overlap at width " << width;
            EXPECT_GE(r.minX(), helper->buttonRect().minX());
            EXPECT_LE(r.maxX(), helper->buttonRect().maxX() + 1) << "width " << width;
            last = r.maxX() + double(bar.intercellSpacing());
        }
        // Shrunk buttons fill the button area: the last one takes what the truncated cuts of the others leave.
        if (!rects.empty() && frame.width() < double(helper->maximumWidth())) {
            EXPECT_NEAR(rects.back().maxX(), helper->buttonRect().maxX(), 1.0) << "width " << width;
        }
    }
    // The groups that still show something end before the overflow pull-down and its gap.
    double rightmost = 0;
    for (const auto& helper : bar.groupHelpers()) {
        if (!helper->isPeeled())
            rightmost = helper->frame().maxX();
    }
    if (bar.showsOverflowPullDown() && bar.autoResizesGroups()) {
        EXPECT_LE(rightmost, bar.overflowPullDownRect().minX() - KRScopeBar::OverflowGap + 1) << "width " << width;
    }
    if (bar.showsOverflowPullDown()) {
        EXPECT_LE(bar.overflowPullDownRect().maxX(), width - KRLayoutTestM + 0.5);
    }
}

// The natural cell sizes the whole layout rests on come from our own cells and fonts; a change here moves every
// collapse and overflow decision, so it must be deliberate.
TEST(KRScopeBarLayout, CellMetricsAreOurOwnAndStable)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    auto all = scene.bar->preparedButtonCellForGroup(0, 0)->cellSize();
    auto documents = scene.bar->preparedButtonCellForGroup(0, 1)->cellSize();
    auto again = scene.bar->preparedButtonCellForGroup(0, 1)->cellSize();
    EXPECT_EQ(documents, again);
    EXPECT_GT(documents.width, all.width);
    EXPECT_EQ(documents.width, std::round(documents.width)) << "cell sizes are whole points";
    auto popUp = scene.bar->preparedPopUpCellForGroup(0)->cellSize();
    EXPECT_GT(popUp.width, all.width) << "the pop-up adds its arrow to the selected item's title";
    auto overflow = scene.bar->overflowPullDownCell()->cellSize();
    EXPECT_EQ(overflow, (gfx::Size { 10 + 12, 10 })) << "the overflow image widened by 12";
    std::printf("cell sizes: All %gx%g, Documents %gx%g, pop-up %gx%g\n", all.width, all.height, documents.width,
        documents.height, popUp.width, popUp.height);
}

// Header: a label adds its width + 1 + 10, a separator 1 + 10; the separator line is inset by 18 % of the height.
TEST(KRScopeBarLayout, HeaderAndAreas)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    scene.bar->calcSize();
    const auto& first = scene.bar->groupHelpers()[0];
    const auto& second = scene.bar->groupHelpers()[1];
    auto labelWidth = [](const KRScopeBarGroupHelper& h) { return h.group()->attributedLabel()->size().width; };
    EXPECT_EQ(first->headerWidth(), std::uint64_t(std::trunc(labelWidth(*first) + 11)))
        << "the first group shows no separator";
    EXPECT_TRUE(first->separatorRect().isEmpty());
    EXPECT_EQ(second->headerWidth(), std::uint64_t(std::trunc(labelWidth(*second) + 11)) + 11);
    auto separator = second->separatorRect();
    EXPECT_DOUBLE_EQ(separator.minX(), second->frame().minX());
    EXPECT_DOUBLE_EQ(separator.width(), 1);
    EXPECT_NEAR(separator.minY(), 30 * 0.18, 1e-9);
    EXPECT_NEAR(separator.height(), 30 * (1 - 2 * 0.18), 1e-9);
    EXPECT_DOUBLE_EQ(second->labelRect().minX(), separator.minX() + 11);
    EXPECT_DOUBLE_EQ(second->buttonRect().minX(), second->labelRect().maxX() + 10);
}

// The widths the layout gives the groups, worked out from their maximum and minimum widths: all at their maximum
// when that fits the space left for groups, else each but the last showing group cut by its share of the excess in
// proportion to its slack (rounded, halves away from zero), the last taking what is left; wholly peeled groups get 0.
void krLayoutTestCheckWidths(KRScopeBar& bar, double width)
{
    const auto& helpers = bar.groupHelpers();
    std::int64_t sumMaximum = 0, sumMinimum = 0, showing = 0;
    for (const auto& helper : helpers) {
        sumMaximum += std::int64_t(helper->maximumWidth());
        sumMinimum += std::int64_t(helper->minimumWidth());
        showing += helper->isPeeled() ? 0 : 1;
    }
    const auto overflow = !overflowTitles(bar).empty();
    std::int64_t available;
    if (!overflow) {
        available = std::int64_t(width - 2 * KRLayoutTestM - double(helpers.size() - 1) * KRLayoutTestM);
    } else {
        const auto ow = std::int64_t(bar.overflowPullDownCell()->cellSize().width);
        available = std::int64_t(
            width - 2 * KRLayoutTestM - double(std::max<std::int64_t>(showing - 1, 0)) * KRLayoutTestM - double(ow));
        if (sumMinimum > 0)
            available -= 5;
    }
    std::size_t last = helpers.size();
    for (std::size_t i = 0; i < helpers.size(); ++i)
        if (!helpers[i]->isPeeled())
            last = i;
    const double excess = double(sumMaximum - available), slack = double(sumMaximum - sumMinimum);
    double left = excess, x = KRLayoutTestM;
    for (std::size_t i = 0; i < helpers.size(); ++i) {
        const double maximum = double(helpers[i]->maximumWidth()), minimum = double(helpers[i]->minimumWidth());
        double expected = maximum;
        if (sumMaximum > available && !helpers[i]->isPeeled()) {
            double cut = left;
            if (i != last) {
                cut = std::round((maximum - minimum) / slack * excess);
                left -= cut;
            }
            expected = std::max(0.0, maximum - cut);
        } else if (helpers[i]->isPeeled() && sumMaximum > available) {
            expected = std::max(0.0, maximum);
        }
        EXPECT_DOUBLE_EQ(helpers[i]->frame().width(), expected) << "group " << i << " at width " << width;
        EXPECT_DOUBLE_EQ(helpers[i]->frame().minX(), x) << "group " << i << " at width " << width;
        x = std::trunc(x + expected + KRLayoutTestM);
    }
}

// Narrowing: buttons shrink, then groups collapse from the right, then items peel into the overflow menu from the
// right; widening again undoes each step, since every layout starts expanded and unpeeled.
TEST(KRScopeBarLayout, NarrowingCollapsesThenPeelsAndWideningRestores)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    auto& bar = *scene.bar;
    std::map<int, std::string> down;
    std::map<int, std::vector<std::string>> menus;
    std::string previous;
    std::vector<std::string> sequence;
    for (int width = 900; width >= 40; width -= 1) {
        krLayoutTestResize(bar, width);
        krLayoutTestCheckInvariants(bar, width);
        krLayoutTestCheckWidths(bar, width);
        down[width] = layoutState(bar);
        menus[width] = overflowTitles(bar);
        if (down[width] != previous)
            sequence.push_back(std::to_string(width) + ": " + down[width]);
        previous = down[width];
    }
    std::string all;
    for (const auto& s : sequence)
        all += s + "\n";
    std::printf("%s", all.c_str());

    // The states in order of narrowing: the right-most group collapses first, then the middle one, then the first;
    // then the collapsed groups go into the menu whole, from the right.
    std::vector<std::string> expected = { "E3 E3 E3", "E3 E3 C", "E3 C C", "C C C", "C C C0", "C C0 C0", "C0 C0 C0" };
    std::vector<std::string> seen;
    for (auto it = down.rbegin(); it != down.rend(); ++it) {
        if (seen.empty() || seen.back() != it->second)
            seen.push_back(it->second);
    }
    EXPECT_EQ(seen, expected) << all;

    // The menu lists peeled items in bar order with a separator between groups.
    for (const auto& [width, state] : down) {
        if (state == "C C0 C0") {
            EXPECT_EQ(menus[width],
                (std::vector<std::string>({ "Today", "This Week", "Older", "-", "Name", "Kind", "Size" })))
                << "width " << width;
        }
        if (state == "E3 E3 E3") {
            EXPECT_TRUE(menus[width].empty());
        }
    }

    for (int width = 40; width <= 900; width += 5) {
        krLayoutTestResize(bar, width);
        EXPECT_EQ(layoutState(bar), down[width]) << "widening to " << width;
        EXPECT_EQ(overflowTitles(bar), menus[width]) << "widening to " << width;
    }
}

// The states a bar goes through from 900 points down to 40, in order.
std::vector<std::string> krLayoutTestStates(KRScopeBar& bar, std::map<int, std::vector<std::string>>* menus = nullptr)
{
    std::vector<std::string> seen;
    for (int width = 900; width >= 40; width -= 5) {
        krLayoutTestResize(bar, width);
        krLayoutTestCheckInvariants(bar, width);
        if (menus)
            (*menus)[width] = overflowTitles(bar);
        if (seen.empty() || seen.back() != layoutState(bar))
            seen.push_back(layoutState(bar));
    }
    return seen;
}

// A group whose delegate refuses collapsing is skipped: the next one to its left collapses instead; groups that may
// not collapse at all give their items to the overflow menu one by one from the right.
TEST(KRScopeBarLayout, RefusedCollapseIsSkippedAndExpandedGroupsPeelOneByOne)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    scene.delegate->keptExpanded = { "sort" };
    EXPECT_EQ(krLayoutTestStates(*scene.bar),
        (std::vector<std::string>(
            { "E3 E3 E3", "E3 C E3", "C C E3", "C C E2/3", "C C E1/3", "C C E0/3", "C C0 E0/3", "C0 C0 E0/3" })));

    scene.delegate->keptExpanded = { "show", "date", "sort" };
    std::map<int, std::vector<std::string>> menus;
    auto states = krLayoutTestStates(*scene.bar, &menus);
    ASSERT_GE(states.size(), 4u);
    EXPECT_EQ(states[1], "E3 E3 E2/3");
    EXPECT_EQ(states[2], "E3 E3 E1/3");
    bool sawTwoGroups = false;
    for (const auto& [width, titles] : menus) {
        if (titles.size() == 5) {
            EXPECT_EQ(titles, (std::vector<std::string>({ "Older", "-", "Name", "Kind", "Size" }))) << width;
            sawTwoGroups = true;
        }
    }
    EXPECT_TRUE(sawTwoGroups);
}

// Without automatic resizing every group keeps its maximum width, past the right edge if need be.
TEST(KRScopeBarLayout, WithoutAutoResizingGroupsKeepTheirMaximumWidth)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    scene.bar->setAutoResizesGroups(false);
    for (double width : { 900.0, 300.0, 60.0 }) {
        krLayoutTestResize(*scene.bar, width);
        EXPECT_EQ(layoutState(*scene.bar), "E3 E3 E3") << width;
        EXPECT_FALSE(scene.bar->showsOverflowPullDown());
        for (const auto& helper : scene.bar->groupHelpers())
            EXPECT_EQ(helper->frame().width(), double(helper->maximumWidth())) << width;
    }
}

// The accessory view sits at the right edge, centred, and takes its width and the gap from what the groups get.
TEST(KRScopeBarLayout, AccessoryViewSitsAtTheRightEdge)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    auto accessory = ui::View::create({ 0, 0, 120.6, 20.4 });
    scene.bar->setAccessoryView(accessory);
    krLayoutTestResize(*scene.bar, 900);
    EXPECT_EQ(accessory->frame(), (gfx::Rect { 900 - 11 - 120, 5, 120, 20 }));
    EXPECT_EQ(accessory->superview().get(), scene.bar.get());

    // Without the accessory the bar fits all three groups at a width where with it the last one collapses.
    auto bare = makeScene({ 0, 0, 900, 30 });
    int firstCollapse = 0;
    int firstCollapseBare = 0;
    for (int width = 1100; width >= 400 && (!firstCollapse || !firstCollapseBare); width -= 1) {
        krLayoutTestResize(*scene.bar, width);
        krLayoutTestResize(*bare.bar, width);
        if (!firstCollapse && layoutState(*scene.bar) != "E3 E3 E3")
            firstCollapse = width;
        if (!firstCollapseBare && layoutState(*bare.bar) != "E3 E3 E3")
            firstCollapseBare = width;
    }
    EXPECT_EQ(firstCollapse - firstCollapseBare, 120 + 11)
        << firstCollapse << " " << firstCollapseBare << " " << layoutState(*scene.bar) << " / "
        << layoutState(*bare.bar);
}

// Group management: indexes are checked before anything changes, and setGroups takes all or nothing.
TEST(KRScopeBarLayout, GroupManagement)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    auto& bar = *scene.bar;
    auto before = bar.groups();
    auto e = raised([&] { bar.setGroups(fnd::Array { fnd::Value(KRScopeBarGroup::create()), fnd::Value("nope") }); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_EQ(e->reason().utf8(), "KRScopeBar:setGroups: element in array not of class KRScopeBarGroup");
    EXPECT_EQ(bar.groups(), before) << "a rejected array changes nothing";

    struct Case {
        std::function<void()> call;
        const char* reason;
    } cases[] = {
        { [&] { bar.insertGroup(KRScopeBarGroup::create(), 4); },
            "KRScopeBar:insertGroup:atIndex: groupIndex invalid" },
        { [&] { bar.removeGroupAtIndex(3); }, "KRScopeBar:removeGroup:atIndex: groupIndex invalid" },
        { [&] { bar.moveGroupWithIndex(3, 0); }, "KRScopeBar:moveGroupWithIndex:toIndex: originalIndex invalid" },
        { [&] { bar.moveGroupWithIndex(0, 3); }, "KRScopeBar:moveGroupWithIndex:toIndex: destinationIndex invalid" },
        { [&] { bar.reloadDataForGroup(3); }, "KRScopeBar:reloadDataForGroup: groupIndex invalid" },
        { [&] { bar.preparedButtonCellForGroup(3, 0); },
            "KRScopeBar:preparedButtonCellForGroup:object: groupIndex invalid" },
        { [&] { bar.preparedButtonCellForGroup(0, 3); },
            "KRScopeBar:preparedButtonCellForGroup:object: objectIndex invalid" },
        { [&] { bar.preparedPopUpCellForGroup(3); }, "KRScopeBar:preparedPopUpCellForGroup: groupIndex invalid" },
    };
    for (const auto& c : cases) {
        auto raisedHere = raised(c.call);
        ASSERT_TRUE(raisedHere) << c.reason;
        EXPECT_EQ(raisedHere->name(), fnd::ExceptionName::Range);
        EXPECT_EQ(raisedHere->reason().utf8(), c.reason);
    }
    EXPECT_EQ(bar.groups(), before);

    bar.moveGroupWithIndex(2, 0);
    EXPECT_EQ(bar.groupAtIndex(0), before[2]);
    EXPECT_EQ(bar.groupWithIdentifier("date"), before[1]);
    bar.removeGroup(before[1]);
    EXPECT_EQ(before[1]->scopeBar(), nullptr);
    EXPECT_EQ(bar.indexOfGroup(*before[1]), fnd::NotFound);
    bar.setGroups(fnd::Array { fnd::Value(before[1]) });
    EXPECT_EQ(bar.numberOfGroups(), 1u);
    EXPECT_EQ(before[0]->scopeBar(), nullptr);

    auto fresh = KRScopeBar::create({ 0, 0, 400, 30 });
    EXPECT_FALSE(fresh->addGroup()->showsSeparator()) << "the first group made by the bar has no separator";
    EXPECT_TRUE(fresh->addGroup()->showsSeparator());
}

// The first group's own flag decides whether it reserves and draws a separator (1 + 10 points before its label).
TEST(KRScopeBarLayout, TheFirstGroupKeepsTheSeparatorItAsksFor)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    auto& bar = *scene.bar;
    krLayoutTestResize(bar, 900);
    auto first = bar.groupHelpers().front();
    const auto without = first->headerWidth();
    EXPECT_EQ(first->separatorRect(), gfx::Rect {});
    bar.groupAtIndex(0)->setShowsSeparator(true);
    bar.reloadData();
    krLayoutTestResize(bar, 900);
    first = bar.groupHelpers().front();
    EXPECT_EQ(first->headerWidth(), without + 11);
    EXPECT_EQ(first->separatorRect().width(), 1);
    EXPECT_NEAR(first->separatorRect().minY(), 30 * 0.18, 0.01) << "inset by 18 % of the height";
}

// A radio group that comes with no selection gets its first acceptable item; one with several keeps the lowest.
TEST(KRScopeBarLayout, ReloadNormalisesRadioSelections)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    auto group = scene.bar->groupAtIndex(2);
    group->setSelectionIndexes(fnd::IndexSet { 1, 2 });
    EXPECT_EQ(group->selectionIndexes().indexes(), std::vector<fnd::Index>({ 1 }));
    scene.delegate->refusedObjects = { "Name" };
    group->setSelectionIndexes({});
    EXPECT_EQ(group->selectionIndexes().indexes(), std::vector<fnd::Index>({ 1 })) << "Name is refused";
    scene.delegate->refusedObjects = { "Name", "Kind", "Size" };
    group->setSelectionIndexes({});
    EXPECT_TRUE(group->selectionIndexes().isEmpty()) << "nothing acceptable: nothing selected";
}

// The pop-up of a collapsed group shows the selection: its item, or a placeholder for none or several.
TEST(KRScopeBarLayout, PopUpShowsTheSelection)
{
    auto scene = makeScene({ 0, 0, 900, 30 });
    auto popUp = [&](std::uint64_t group) { return scene.bar->preparedPopUpCellForGroup(group); };
    EXPECT_EQ(popUp(0)->ui::ButtonCell::title().utf8(), "All");
    EXPECT_FALSE(popUp(0)->showsBorderOnlyWhileMouseInside());
    EXPECT_EQ(popUp(1)->ui::ButtonCell::title().utf8(), "date");
    EXPECT_TRUE(popUp(1)->showsBorderOnlyWhileMouseInside());
    scene.bar->groupAtIndex(1)->setSelectionIndexes(fnd::IndexSet { 0, 1 });
    EXPECT_EQ(popUp(1)->ui::ButtonCell::title().utf8(), "<Multiple>");
    EXPECT_FALSE(popUp(1)->showsBorderOnlyWhileMouseInside());
}

// The delegate hears the selection changes of every bar once it implements the notification method, and stops
// hearing them when its bar leaves the view hierarchy.
TEST(KRScopeBarLayout, DelegateHearsAllBarsUntilItsBarIsRemoved)
{
    auto first = makeScene({ 0, 0, 900, 30 });
    auto second = makeScene({ 0, 0, 900, 30 });
    auto listener = std::make_shared<krtest::ScopeListener>();
    second.bar->setDelegate(listener);
    auto host = ui::View::create({ 0, 0, 900, 100 });
    host->addSubview(second.bar);
    first.bar->groupAtIndex(0)->didClickObject(1);
    second.bar->groupAtIndex(0)->didClickObject(1);
    EXPECT_EQ(listener->heard, 2) << "both bars";
    second.bar->removeFromSuperview();
    first.bar->groupAtIndex(0)->didClickObject(2);
    EXPECT_EQ(listener->heard, 2);
}

}

namespace {

// Cell measurements are kept between layouts and taken again when the group reloads: new titles, a new selection
// shown by a collapsed group's pop-up, a new label.
TEST(KRScopeBarLayout, MeasurementsFollowReloads)
{
    auto scene = krtest::makeScene({ 0, 0, 900, 30 });
    auto& bar = *scene.bar;
    bar.calcSize();
    const auto& helper = *bar.groupHelpers()[0];
    const auto before = helper.maximumWidth();
    scene.source->items[0][1] = "Documents and everything else";
    bar.calcSize();
    EXPECT_EQ(helper.maximumWidth(), before) << "nothing reloaded yet";
    bar.reloadDataForGroup(0);
    bar.calcSize();
    EXPECT_GT(helper.maximumWidth(), before + 50);

    bar.groupAtIndex(0)->setCollapsed(true);
    helper.group()->setSelectionIndexes(fnd::IndexSet { 0 });
    bar.groupHelpers()[0]->updateGroupDimensions();
    const auto collapsedNarrow = helper.maximumWidth();
    helper.group()->setSelectionIndexes(fnd::IndexSet { 1 });
    bar.groupAtIndex(0)->setCollapsed(true);
    bar.groupHelpers()[0]->updateGroupDimensions();
    EXPECT_GT(helper.maximumWidth(), collapsedNarrow) << "the pop-up shows the longer selected title";

    const auto header = bar.groupHelpers()[1]->headerWidth();
    bar.groupAtIndex(1)->setLabel(fnd::String("A much longer label:"));
    EXPECT_GT(bar.groupHelpers()[1]->headerWidth(), header);
}

}

namespace {

// Made by class name, as an interface file makes it, a bar has the settings of initWithFrame; a group helper cannot
// be made without its group and bar.
TEST(KRScopeBarLayout, MadeByClassName)
{
    auto bar = std::dynamic_pointer_cast<KRScopeBar>(fnd::ClassRegistry::shared().create("KRScopeBar"));
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->minimumButtonWidth(), 70u);
    EXPECT_EQ(bar->minimumPopUpWidth(), 70u);
    EXPECT_EQ(bar->intercellSpacing(), 5u);
    EXPECT_TRUE(bar->autoResizesGroups());
    EXPECT_TRUE(bar->buttonCell());
    EXPECT_EQ(bar->overflowPullDownCell()->cellSize(), (gfx::Size { 22, 10 }));

    auto e = raised([] { (void)fnd::ClassRegistry::shared().create("KRScopeBarGroupHelper"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name().utf8(), "KRScopeBarException");
    EXPECT_EQ(e->reason().utf8(),
        "An instance of an KRScopeBarGroupHelper was initialized using init instead of initWithGroup:inScopeBar:");
}

// Groups inserted, removed and moved at random, and items changed in the data source followed by a reload of that
// group only. The data source answers by place, whichever group stands there, so a group that moved shows other
// items. After each step the bar lays out, at a width where most items overflow, exactly as a bar made afresh from
// the same groups in the same order does (frames, what is peeled, the overflow menu): no group keeps cell sizes
// measured at a place it no longer has.
TEST(KRScopeBarLayout, GroupChangesLayOutAsAFreshBarDoes)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        auto source = std::make_shared<krtest::ScopeSource>();
        std::vector<std::shared_ptr<KRScopeBarGroup>> groups;
        int made = 0;
        auto newItems = [&] {
            std::vector<std::string> list;
            for (unsigned i = 0; i < 1 + random() % 4; ++i)
                list.push_back(std::string(1 + random() % 12, char('a' + random() % 26)));
            return list;
        };
        auto newGroup = [&] {
            auto group = KRScopeBarGroup::create(fnd::String("g" + std::to_string(made)),
                random() % 2 ? KRScopeBarGroupSelectionStyleMultiple : KRScopeBarGroupSelectionStyleRadio);
            group->setLabel(fnd::String("Group " + std::to_string(made++) + ":"));
            return group;
        };
        auto bar = KRScopeBar::create({ 0, 0, 700, 30 });
        bar->setDataSource(source);
        for (int step = 0; step < 60; ++step) {
            const unsigned what = random() % 4;
            if (what == 0 || groups.size() < 2) {
                const auto at = random() % (groups.size() + 1);
                groups.insert(groups.begin() + std::ptrdiff_t(at), newGroup());
                while (source->items.size() < groups.size())
                    source->items.push_back(newItems());
                bar->insertGroup(groups[at], at);
                bar->reloadDataForGroup(at);
            } else if (what == 1) {
                const auto at = random() % groups.size();
                bar->removeGroupAtIndex(at);
                groups.erase(groups.begin() + std::ptrdiff_t(at));
            } else if (what == 2) {
                const auto from = random() % groups.size(), to = random() % groups.size();
                auto group = groups[from];
                groups.erase(groups.begin() + std::ptrdiff_t(from));
                groups.insert(groups.begin() + std::ptrdiff_t(to), group);
                bar->moveGroupWithIndex(from, to);
            } else {
                const auto at = random() % groups.size();
                source->items[at] = newItems();
                bar->reloadDataForGroup(at);
            }
            bar->calcSize();
            auto fresh = KRScopeBar::create({ 0, 0, 700, 30 });
            fresh->setDataSource(source);
            for (const auto& group : groups) {
                auto copy = KRScopeBarGroup::create(group->identifier(), group->groupSelectionStyle());
                copy->setLabel(group->label());
                fresh->addGroup(copy);
            }
            fresh->reloadData();
            // The same selections, which the titles of pop-ups show.
            for (std::size_t i = 0; i < groups.size(); ++i)
                fresh->groupAtIndex(i)->setSelectionIndexes(groups[i]->selectionIndexes());
            fresh->calcSize();
            ASSERT_EQ(layoutState(*bar), layoutState(*fresh)) << "seed " << seed << " step " << step;
            ASSERT_EQ(overflowTitles(*bar), overflowTitles(*fresh)) << "seed " << seed << " step " << step;
            for (std::size_t i = 0; i < groups.size(); ++i) {
                ASSERT_EQ(bar->indexOfGroup(*groups[i]), fnd::Index(i)) << "seed " << seed << " step " << step;
                ASSERT_EQ(bar->groupHelpers()[i]->frame(), fresh->groupHelpers()[i]->frame())
                    << "seed " << seed << " step " << step << " group " << i;
                // A collapsed group keeps the item rects of its last expanded layout, which it does not use.
                if (!groups[i]->isCollapsed()) {
                    ASSERT_EQ(bar->groupHelpers()[i]->buttonRects(), fresh->groupHelpers()[i]->buttonRects())
                        << "seed " << seed << " step " << step << " group " << i;
                }
            }
        }
    }
}

}
