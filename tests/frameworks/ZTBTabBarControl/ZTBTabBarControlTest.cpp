#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/tab-bar-core/support/ForeignDrag.h"

#include "frameworks/ZTBTabBarControl/ZTBMetalTabStyle.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/views/Event.h"

#include <random>

namespace {

using namespace ztbtest;
using Labels = std::vector<std::string>;

// An identifier object with the properties a cell binds to.
class TabModel : public fnd::Object {
    FND_OBJECT(TabModel)
    static void describeClass(fnd::ClassBuilder<TabModel>& c)
    {
        c.property("objectCount", &TabModel::objectCount, &TabModel::setObjectCount);
        c.property("isEdited", &TabModel::isEdited, &TabModel::setIsEdited);
        c.property("isProcessing", &TabModel::isProcessing, &TabModel::setIsProcessing);
    }

public:
    long objectCount() const { return m_count; }
    void setObjectCount(long count) { m_count = count; }
    bool isEdited() const { return m_edited; }
    void setIsEdited(bool flag) { m_edited = flag; }
    bool isProcessing() const { return m_processing; }
    void setIsProcessing(bool flag) { m_processing = flag; }

private:
    long m_count { 0 };
    bool m_edited { false };
    bool m_processing { false };
};

}

FND_REGISTER_CLASS(TabModel, fnd::Object)

namespace {

class ZTBTabBarControlTest : public TabBarControlTest { };

// The control and its link with the tab view.

TEST_F(ZTBTabBarControlTest, StyleNamesOtherThanTheFourLooksGiveMetal)
{
    // The five looks registered themselves when the library loaded.
    std::vector<std::string> classes;
    for (const auto* styleClass : ZTBTabStyleRegistry::shared().registeredClasses())
        classes.push_back(styleClass->name.utf8());
    std::ranges::sort(classes);
    EXPECT_EQ(classes,
        (std::vector<std::string> {
            "ZTBAquaTabStyle", "ZTBCapsuleTabStyle", "ZTBCardTabStyle", "ZTBMetalTabStyle", "ZTBUnifiedTabStyle" }));
    a.bar->setStyleNamed("Card");
    EXPECT_EQ(a.bar->style()->className(), fnd::String("ZTBCardTabStyle"));
    for (const char* name : { "Metal", "", "aqua", "Whatever" }) {
        a.bar->setStyleNamed(name);
        EXPECT_EQ(a.bar->styleName(), fnd::String("Metal")) << name;
    }
    auto style = a.bar->style();
    a.bar->setStyle(style);
    EXPECT_EQ(a.bar->style(), style);
}

TEST_F(ZTBTabBarControlTest, CellsAreAppendedWhateverTheItemsIndex)
{
    a.addItem("One");
    a.addItem("Two");
    auto item = ui::TabViewItem::create();
    item->setLabel("Zero");
    a.tabView->insertTabViewItem(item, 0);
    settle();
    EXPECT_EQ(a.barLabels(), (Labels { "One", "Two", "Zero" }));
    EXPECT_EQ(a.tabLabels(), (Labels { "Zero", "One", "Two" }));
    // Selecting by the tab view marks the item's own cell, not the cell at the item's index.
    a.tabView->selectTabViewItem(item);
    EXPECT_EQ(a.cell("Zero")->state(), 1);
    EXPECT_EQ(a.cell("One")->state(), 0);
    EXPECT_EQ(a.cell("Zero")->tabState(), ZTBTabState::Selected);
    EXPECT_TRUE(a.cell("Two")->tabState() & ZTBTabState::RightIsSelected);
}

TEST_F(ZTBTabBarControlTest, ABarConnectedToATabViewWithItemsShowsThemAtOnceAndLaterOnesAfter)
{
    auto tabs = ui::TabView::create({ 0, 0, 400, 178 });
    for (const char* label : { "Codes", "Labels" }) {
        auto item = ui::TabViewItem::create();
        item->setLabel(label);
        tabs->addTabViewItem(item);
    }
    tabs->selectTabViewItemAtIndex(1);
    auto bar = ZTBTabBarControl::create({ 0, 178, 400, 22 });
    a.window->contentView()->addSubview(bar);
    bar->setTabView(tabs);
    tabs->setDelegate(bar);
    auto labels = [&] {
        Labels out;
        for (const auto& c : bar->cells())
            out.push_back(c->stringValue().utf8());
        return out;
    };
    EXPECT_EQ(labels(), (Labels { "Codes", "Labels" }));
    settle();
    ASSERT_EQ(bar->cells().size(), 2u);
    EXPECT_EQ(bar->cells()[1]->state(), 1) << "the selected item's tab is the selected one";
    EXPECT_GT(bar->cells()[0]->frame().width(), 0);

    auto item = ui::TabViewItem::create();
    item->setLabel("Sheets");
    tabs->addTabViewItem(item);
    bar->awakeFromNib();
    EXPECT_EQ(labels(), (Labels { "Codes", "Labels", "Sheets" })) << "no item gets two tabs";
}

TEST_F(ZTBTabBarControlTest, RemovingAnItemTellsTheDelegateBeforeItsCellGoes)
{
    a.addItem("One");
    auto two = a.addItem("Two");
    a.delegate->calls.clear();
    a.tabView->removeTabViewItem(two);
    EXPECT_EQ(a.barLabels(), (Labels { "One" }));
    ASSERT_GE(a.delegate->calls.size(), 2u);
    EXPECT_EQ(a.delegate->calls.front(), "didClose Two");
    EXPECT_EQ(a.delegate->calls.back(), "count");
}

TEST_F(ZTBTabBarControlTest, CellsFollowTheIdentifiersPropertiesAndTheItemsLabel)
{
    auto item = a.addItem("Doc");
    auto model = fnd::makeObject<TabModel>();
    model->setObjectCount(4);
    item->setIdentifier(fnd::Value(std::static_pointer_cast<fnd::Object>(model)));
    settle();
    auto cell = a.cell("Doc");
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->count(), 4);
    model->setValueForKey(fnd::Value(7L), "objectCount");
    model->setValueForKey(fnd::Value(true), "isEdited");
    EXPECT_EQ(cell->count(), 7);
    EXPECT_TRUE(cell->isEdited());
    item->setLabel("Renamed");
    EXPECT_EQ(cell->stringValue(), fnd::String("Renamed"));
    // An identifier that answers nothing: title only, no count or indicator.
    auto plain = a.addItem("Plain");
    settle();
    EXPECT_EQ(a.cell("Plain")->count(), 0);
    EXPECT_FALSE(a.cell("Plain")->isIndicatorShown());
}

TEST_F(ZTBTabBarControlTest, AModelChangeLaysTheBarOutInTheNextLayoutPass)
{
    a.bar->setSizeCellsToFit(true);
    auto item = a.addItem("Doc");
    auto model = fnd::makeObject<TabModel>();
    item->setIdentifier(fnd::Value(std::static_pointer_cast<fnd::Object>(model)));
    settle();
    const double before = a.cell("Doc")->frame().width();
    // A count makes the tab wider; the bar asks for layout and lays out once, before it next draws.
    model->setValueForKey(fnd::Value(5L), "objectCount");
    model->setValueForKey(fnd::Value(12L), "objectCount");
    EXPECT_TRUE(a.bar->needsLayout());
    EXPECT_EQ(a.cell("Doc")->frame().width(), before) << "not inside the change";
    a.window->layoutIfNeeded();
    EXPECT_FALSE(a.bar->needsLayout());
    EXPECT_GE(a.cell("Doc")->frame().width(), before + 24) << "a counter of at least 20 and its 4-point gap";
}

TEST_F(ZTBTabBarControlTest, TheSpinnerTurnsAndShowsWhileTheTabIsProcessing)
{
    auto item = a.addItem("Doc");
    auto model = fnd::makeObject<TabModel>();
    item->setIdentifier(fnd::Value(std::static_pointer_cast<fnd::Object>(model)));
    settle();
    auto indicator = a.cell("Doc")->indicator();
    EXPECT_TRUE(indicator->isHidden());
    EXPECT_FALSE(indicator->isAnimating());
    for (bool processing : { true, false, true }) {
        model->setValueForKey(fnd::Value(processing), "isProcessing");
        settle();
        EXPECT_EQ(indicator->isHidden(), !processing) << processing;
        EXPECT_EQ(indicator->isAnimating(), processing) << processing;
        if (processing) {
            EXPECT_EQ(indicator->superview(), a.bar) << "a shown spinner stands in the bar";
        }
    }
    // A closed tab's spinner no longer follows the model.
    a.tabView->removeTabViewItem(item);
    settle();
    EXPECT_FALSE(indicator->infoForBinding("animate"));
    EXPECT_FALSE(indicator->infoForBinding("hidden"));
    model->setValueForKey(fnd::Value(false), "isProcessing");
    model->setValueForKey(fnd::Value(true), "isProcessing");
    EXPECT_FALSE(indicator->isAnimating());
}

TEST_F(ZTBTabBarControlTest, CellForPointIgnoresTheLeftMargin)
{
    a.addItem("One");
    settle();
    auto cell = a.cell("One");
    gfx::Rect f = cell->frame();
    f.origin.x = 0;
    f.size.width += 10;
    cell->setFrame(f);
    EXPECT_FALSE(a.bar->cellForPoint({ 5, 10 }));
    EXPECT_EQ(a.bar->cellForPoint({ 15, 10 }), cell);
    auto onScreen = [&](gfx::Point p) { return a.window->convertBaseToScreen(a.bar->convertPointToView(p, nullptr)); };
    EXPECT_EQ(a.bar->accessibilityHitTest(onScreen({ 5, 10 })).object(), a.bar) << "the margin: the bar itself";
    EXPECT_EQ(a.bar->accessibilityHitTest(onScreen({ 15, 10 })).object(), cell);
}

TEST_F(ZTBTabBarControlTest, TabsArePageTabsOfTheBarsNamedListAndPressingOneSelectsIt)
{
    namespace A = ui::AccessibilityAttribute;
    class CountWords : public RecordingDelegate {
    public:
        std::optional<fnd::String> accessibilityStringForTabView(ui::TabView&, long) override { return "messages"; }
    };
    auto words = std::make_shared<CountWords>();
    a.addItem("Inbox");
    a.addItem("Sent");
    a.addItem("Drafts");
    settle();
    a.window->makeKeyAndOrderFront();
    EXPECT_FALSE(a.bar->accessibilityIsIgnored());
    EXPECT_EQ(a.bar->accessibilityAttributeValue(A::Role), fnd::Value("AXTabGroup"));
    EXPECT_EQ(a.bar->accessibilityAttributeValue(A::Description), fnd::Value("Tabs"));
    auto tabs = *a.bar->accessibilityAttributeValue(A::Children).array();
    ASSERT_EQ(tabs.size(), 3u) << "three tabs; the pull-down and the add-tab button are hidden";
    std::string titles;
    int selected = 0;
    for (const auto& tab : tabs) {
        auto* element = ui::accessibilityElement(tab);
        titles += ui::accessibilityAttribute(*element, A::Title).stringValue().utf8() + " ";
        EXPECT_EQ(ui::accessibilityAttribute(*element, A::Role), fnd::Value("AXRadioButton"));
        EXPECT_EQ(ui::accessibilityAttribute(*element, A::Subrole), fnd::Value("AXTabButton"));
        EXPECT_EQ(ui::accessibilityAttribute(*element, A::Parent).object(), a.bar);
        selected += int(ui::accessibilityAttribute(*element, A::Value).integerValue());
    }
    EXPECT_EQ(titles, "Inbox Sent Drafts ");
    EXPECT_EQ(selected, 1) << "one tab is the selected one";
    EXPECT_EQ(a.bar->accessibilityAttributeValue(A::Value).object(), a.cell("Inbox")) << "the list's selected tab";
    auto drafts = a.cell("Drafts");
    EXPECT_EQ(drafts->accessibilityAttributeValue(A::Value), fnd::Value(0));
    ASSERT_EQ(drafts->accessibilityActionNames(), std::vector<fnd::String> { ui::AccessibilityAction::Press });
    EXPECT_EQ(drafts->accessibilityActionDescription(ui::AccessibilityAction::Press), fnd::String("press"));
    drafts->accessibilityPerformAction(ui::AccessibilityAction::Press);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("Drafts"));
    EXPECT_EQ(drafts->accessibilityAttributeValue(A::Value), fnd::Value(1));
    EXPECT_EQ(a.bar->accessibilityAttributeValue(A::Value).object(), drafts);
    EXPECT_EQ(a.cell("Inbox")->accessibilityAttributeValue(A::Value), fnd::Value(0));
    // The bar never takes the keyboard: the selected tab of the key window is not where typing goes.
    ASSERT_TRUE(a.window->isKeyWindow());
    EXPECT_FALSE(drafts->accessibilityAttributeValue(A::Focused).boolValue());

    // Help: the title, with the count in the delegate's words when it has them.
    drafts->setCount(3);
    EXPECT_EQ(drafts->accessibilityAttributeValue(A::Help), fnd::Value("Drafts"));
    a.bar->setDelegate(words);
    EXPECT_EQ(drafts->accessibilityAttributeValue(A::Help), fnd::Value("Drafts, 3 messages"));

    // A tab's rectangle on the screen is its frame through the bar and the window.
    auto expected = a.window->convertRectToScreen(a.bar->convertRectToView(drafts->frame(), nullptr));
    EXPECT_EQ(drafts->accessibilityAttributeValue(A::Position).point(), expected.origin);
    EXPECT_EQ(drafts->accessibilityAttributeValue(A::Size).size(), expected.size);

    // Its close button is a push button of its own, in the close button's place, that closes the tab.
    auto closers = *drafts->accessibilityAttributeValue(A::Children).array();
    ASSERT_EQ(closers.size(), 1u);
    auto* close = ui::accessibilityElement(closers[0]);
    EXPECT_EQ(ui::accessibilityAttribute(*close, A::Role), fnd::Value("AXButton"));
    EXPECT_EQ(ui::accessibilityAttribute(*close, A::Title), fnd::Value("Close Drafts"));
    EXPECT_EQ(ui::accessibilityAttribute(*close, A::Parent).object(), drafts);
    auto closeRect = a.window->convertRectToScreen(
        a.bar->convertRectToView(drafts->closeButtonRectForFrame(drafts->frame()), nullptr));
    EXPECT_EQ(ui::accessibilityAttribute(*close, A::Position).point(), closeRect.origin);
    EXPECT_EQ(closers, *drafts->accessibilityAttributeValue(A::Children).array()) << "the same element every walk";
    close->accessibilityPerformAction(ui::AccessibilityAction::Press);
    settle();
    EXPECT_EQ(a.tabLabels(), (std::vector<std::string> { "Inbox", "Sent" }));
}

// Tabs that do not fit are in the pull-down's menu: not in view in the bar, found where the pull-down is, without a
// close button; the pull-down is a named push button that opens a menu.
TEST_F(ZTBTabBarControlTest, TabsInTheOverflowMenuAreOutOfViewAndThePullDownIsNamed)
{
    namespace A = ui::AccessibilityAttribute;
    for (int i = 1; i <= 12; ++i)
        a.addItem("Tab " + std::to_string(i));
    settle();
    std::vector<std::shared_ptr<ZTBTabBarCell>> hidden;
    for (const auto& cell : a.bar->cells())
        if (cell->isInOverflowMenu())
            hidden.push_back(cell);
    ASSERT_FALSE(hidden.empty()) << "twelve tabs overflow a 534-point bar";
    const auto& overflow = a.bar->overflowPopUpButton();
    ASSERT_FALSE(overflow->isHidden());

    auto children = *a.bar->accessibilityAttributeValue(A::Children).array();
    auto inView = *a.bar->accessibilityAttributeValue(A::VisibleChildren).array();
    EXPECT_EQ(children.size(), 13u) << "twelve tabs and the pull-down";
    EXPECT_EQ(inView.size(), 13u - hidden.size());
    ASSERT_FALSE(children.empty());
    EXPECT_EQ(children.back().object(), overflow);
    EXPECT_EQ(inView.back().object(), overflow);
    EXPECT_EQ(overflow->accessibilityAttributeValue(A::Role), fnd::Value("AXMenuButton"));
    EXPECT_EQ(overflow->accessibilityAttributeValue(A::Description), fnd::Value("More tabs"));

    const auto pullDown = a.window->convertRectToScreen(overflow->convertRectToView(overflow->bounds(), nullptr));
    for (const auto& cell : hidden) {
        const auto label = cell->stringValue().utf8();
        EXPECT_TRUE(std::ranges::none_of(inView, [&](const fnd::Value& v) { return v.object() == cell; })) << label;
        EXPECT_EQ(cell->accessibilityAttributeValue(A::Position).point(), pullDown.origin) << label;
        EXPECT_TRUE(cell->accessibilityAttributeValue(A::Children).array()->empty()) << label;
    }
}

// The bar is the window's one list of tabs: its tab view beneath is the group of the selected page, not a second,
// nameless list with no tabs. Each entry of its "More tabs" menu is named by its tab; the pull-down's own title
// entry, never shown among them, is not listed either.
TEST_F(ZTBTabBarControlTest, TheBarIsTheOnlyListOfTabsAndEveryOverflowEntryIsNamed)
{
    namespace A = ui::AccessibilityAttribute;
    for (int i = 1; i <= 12; ++i)
        a.addItem("Tab " + std::to_string(i));
    settle();
    std::vector<std::string> tabLists;
    std::function<void(const fnd::Value&)> walk = [&](const fnd::Value& element) {
        auto* e = ui::accessibilityElement(element);
        if (!e)
            return;
        if (ui::accessibilityAttribute(*e, A::Role) == fnd::Value("AXTabGroup"))
            tabLists.push_back(ui::accessibilityAttribute(*e, A::Description).stringValue().utf8());
        if (auto children = ui::accessibilityAttribute(*e, A::Children); children.isArray())
            for (const auto& child : *children.array())
                walk(child);
    };
    walk(a.window->selfValue());
    EXPECT_EQ(tabLists, std::vector<std::string> { "Tabs" });
    EXPECT_EQ(a.tabView->accessibilityAttributeValue(A::Role).stringValue().utf8(), "AXGroup");

    std::vector<std::string> overflowed, entries;
    for (const auto& cell : a.bar->cells())
        if (cell->isInOverflowMenu())
            overflowed.push_back(cell->stringValue().utf8());
    ASSERT_FALSE(overflowed.empty());
    auto menus = ui::accessibilityAttribute(*a.bar->overflowPopUpButton(), A::Children);
    ASSERT_TRUE(menus.isArray() && menus.array()->size() == 1u);
    auto* menu = ui::accessibilityElement(menus.array()->front());
    ASSERT_TRUE(menu);
    const auto items = ui::accessibilityAttribute(*menu, A::Children);
    for (const auto& entry : *items.array())
        entries.push_back(ui::accessibilityAttribute(*ui::accessibilityElement(entry), A::Title).stringValue().utf8());
    EXPECT_EQ(entries, overflowed);
}

TEST_F(ZTBTabBarControlTest, CanCloseOnlyTabLaysOutOnlyWithOneTab)
{
    a.addItem("One");
    settle();
    EXPECT_TRUE(a.cell("One")->isCloseButtonSuppressed());
    a.bar->setCanCloseOnlyTab(true);
    EXPECT_FALSE(a.cell("One")->isCloseButtonSuppressed());
}

TEST_F(ZTBTabBarControlTest, AnArchiveKeepsTheOptionsAndMissingKeysKeepTheDefaults)
{
    a.bar->setUseOverflowMenu(false);
    a.bar->setCellMinWidth(60);
    a.bar->setSelectsTabsOnMouseDown(true);
    fnd::KeyedArchiver archiver;
    a.bar->encodeWithCoder(archiver);
    auto data = archiver.encodedData();
    ASSERT_TRUE(data);
    auto decoded = std::make_shared<ZTBTabBarControl>();
    fnd::KeyedUnarchiver unarchiver(*data);
    ASSERT_TRUE(decoded->initWithCoder(unarchiver));
    EXPECT_FALSE(decoded->useOverflowMenu());
    EXPECT_EQ(decoded->cellMinWidth(), 60);
    EXPECT_TRUE(decoded->selectsTabsOnMouseDown());

    fnd::KeyedArchiver empty;
    auto emptyData = empty.encodedData();
    ASSERT_TRUE(emptyData);
    auto bare = std::make_shared<ZTBTabBarControl>();
    fnd::KeyedUnarchiver reader(*emptyData);
    ASSERT_TRUE(bare->initWithCoder(reader));
    EXPECT_TRUE(bare->useOverflowMenu());
    EXPECT_TRUE(bare->allowsBackgroundTabClosing());
    EXPECT_EQ(bare->cellMinWidth(), 100);
    EXPECT_EQ(bare->cellMaxWidth(), 280);
    EXPECT_EQ(bare->cellOptimumWidth(), 130);
    EXPECT_EQ(bare->styleName(), fnd::String("Metal"));
    EXPECT_EQ(bare->currentStep(), -1);
}

// Interaction.

TEST_F(ZTBTabBarControlTest, AnAnimatedUpdateMovesCellsAFractionOfTheWayEachTick)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    a.bar->setAutomaticallyAnimates(true);
    a.bar->setCellOptimumWidth(200);
    ASSERT_TRUE(a.bar->isAnimating());
    runFor(0.6);
    EXPECT_FALSE(a.bar->isAnimating());
    EXPECT_EQ(a.cell("Two")->frame().minX(), 210);
    EXPECT_EQ(a.cell("Two")->frame().width(), 200);
}

TEST_F(ZTBTabBarControlTest, HidingTakesFourStepsAndShowingGivesTheRoomBack)
{
    a.addItem("One");
    a.addItem("Two");
    settle();
    ASSERT_TRUE(a.bar->awakenedFromNib());
    const gfx::Rect bar = a.bar->frame();
    const gfx::Rect partner = a.tabView->frame();
    a.bar->setHideForSingleTab(true);
    a.tabView->removeTabViewItem(a.tabView->tabViewItemAtIndex(1));
    // The bar hides in the window's layout pass, where the removal is laid out.
    a.window->layoutIfNeeded();
    EXPECT_TRUE(a.bar->isTabBarHidden());
    EXPECT_EQ(a.bar->currentStep(), 0);
    std::vector<double> heights;
    for (int i = 0; i < 4; ++i) {
        clock->advance(1.0 / 30.0);
        fnd::RunLoop::current().runUntilDate(clock->now());
        heights.push_back(a.tabView->frame().height());
    }
    EXPECT_EQ(heights,
        (std::vector<double> { partner.height(), partner.height() + 7, partner.height() + 14, partner.height() + 21 }));
    EXPECT_EQ(a.bar->frame().height(), 1.0);
    EXPECT_EQ(a.bar->frame().minY(), bar.minY() + 21);
    EXPECT_EQ(a.bar->currentStep(), -1);
    EXPECT_EQ(a.delegate->calls.back(), "didHide");
    a.addItem("Three");
    runFor(0.2);
    EXPECT_FALSE(a.bar->isTabBarHidden());
    EXPECT_EQ(a.bar->frame(), bar);
    EXPECT_EQ(a.tabView->frame(), partner);
    EXPECT_EQ(a.delegate->calls.back(), "didUnhide");
}

class ZTBTabBarMouseTest : public ZTBTabBarControlTest {
protected:
    ZTBTabBarMouseTest()
    {
        for (const char* label : { "A", "B", "C" })
            a.addItem(label);
        settle();
    }
    gfx::Point closeOf(const std::string& label) const
    {
        auto cell = a.cell(label);
        const gfx::Rect r = cell->closeButtonRectForFrame(cell->frame());
        return a.bar->convertPointToView({ r.midX(), r.midY() }, nullptr);
    }
};

TEST_F(ZTBTabBarMouseTest, AClickSelectsOnMouseUpByDefault)
{
    backend->mouseDown(*a.window, a.centreOf("B"));
    backend->dispatchEvents();
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("A"));
    backend->mouseUp(*a.window, a.centreOf("B"));
    backend->dispatchEvents();
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("B"));
}

TEST_F(ZTBTabBarMouseTest, ABackgroundCloseButtonNeedsCommandWhenBackgroundClosingIsOff)
{
    a.bar->setAllowsBackgroundTabClosing(false);
    drag(*a.window, closeOf("B"), {});
    EXPECT_EQ(a.tabLabels(), (Labels { "A", "B", "C" }));
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("B"));
    drag(*a.window, closeOf("C"), {}, ui::ModifierFlags::Command);
    EXPECT_EQ(a.tabLabels(), (Labels { "A", "B" }));
}

TEST_F(ZTBTabBarMouseTest, OptionClickOnACloseButtonClosesEveryOtherTab)
{
    drag(*a.window, closeOf("B"), {}, ui::ModifierFlags::Alternate);
    EXPECT_EQ(a.tabLabels(), (Labels { "B" }));
    EXPECT_FALSE(a.cell("B")->closeButtonPressed());
}

TEST_F(ZTBTabBarMouseTest, PressingCloseAndLeavingItNeitherClosesNorSelects)
{
    const gfx::Point close = closeOf("B");
    drag(*a.window, close, { { close.x + 30, close.y } });
    EXPECT_EQ(a.tabLabels(), (Labels { "A", "B", "C" }));
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("A"));
}

TEST_F(ZTBTabBarMouseTest, ADragStartsAtTenPointsNotNine)
{
    int begun = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ZTBTabDragDidBeginNotification, {}, [&](const fnd::Notification&) { ++begun; });
    const gfx::Point start = a.centreOf("A");
    drag(*a.window, start, { { start.x + 9, start.y } });
    EXPECT_EQ(begun, 0);
    drag(*a.window, start, { { start.x + 6, start.y + 8 } });
    EXPECT_EQ(begun, 1);
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
    // Without a delegate's yes tabs never drag.
    a.delegate->shouldDrag = std::nullopt;
    drag(*a.window, start, { { start.x + 40, start.y } });
    EXPECT_EQ(begun, 1);
}

TEST_F(ZTBTabBarMouseTest, AVerticalBarResizesBetweenExclusiveLimits)
{
    a.bar->setOrientation(1);
    a.bar->setAllowsResizing(true);
    a.bar->setFrame({ 0, 0, 150, 178 });
    a.tabView->setFrame({ 150, 0, 384, 178 });
    a.bar->setCellMaxWidth(160);
    const gfx::Point edge = a.bar->convertPointToView({ 149, 50 }, nullptr);
    backend->mouseDown(*a.window, edge);
    backend->mouseDragged(*a.window, { edge.x + 5, edge.y });
    backend->mouseDragged(*a.window, { edge.x + 10, edge.y });
    backend->mouseUp(*a.window, { edge.x + 10, edge.y });
    backend->dispatchEvents();
    // 155 is inside; 160 would reach the maximum and is refused.
    EXPECT_EQ(a.bar->frame().width(), 155);
    EXPECT_EQ(a.tabView->frame().minX(), 155);
    EXPECT_FALSE(a.bar->isResizing());
}

TEST_F(ZTBTabBarMouseTest, AForeignDragHeldOverATabSpringsItOpenInsideTheDragLoop)
{
    a.delegate->extraDragTypes = std::vector<fnd::String> { "public.file-url" };
    a.bar->setDelegate(a.delegate);
    auto source = tabbartest::ForeignDragSource::create({ 20, 20, 40, 40 });
    a.window->contentView()->addSubview(source);
    // Held over "C" for a second: the spring (0.668 s) fires while the drag loop still runs.
    tabbartest::holdForeignDrag(*backend, *a.window, *source, a.centreOf("C"), 1.0);
    EXPECT_TRUE(source->dragged);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("C"));
    EXPECT_FALSE(a.bar->springTimer());

    // Let go before the delay: nothing springs, then or later.
    tabbartest::holdForeignDrag(*backend, *a.window, *source, a.centreOf("B"), 0.3);
    runFor(1.0);
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("C"));

    // Pressing the space bar springs a pending tab at once (well before the delay).
    const gfx::Point overA = a.centreOf("A");
    backend->after(0.05, [this] { backend->keyDown(*a.window, " ", 0x31); });
    backend->after(0.1, [this, overA] { backend->mouseDragged(*a.window, { overA.x + 1, overA.y }); });
    tabbartest::holdForeignDrag(*backend, *a.window, *source, overA, 0.3);
    backend->keyUp(*a.window, " ", 0x31);
    settle();
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("A"));

    // Another program's drag brings no mouse events: the person's pointer, as far as this program saw it, is
    // elsewhere; the drag's own place springs the tab under it.
    backend->mouseMoved(*a.window, { 5, 5 });
    backend->dispatchEvents();
    tabbartest::holdDragFromAnotherProgram(*a.window, a.centreOf("B"), 1.0, [this](double s) { runFor(s); });
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("B"));
    EXPECT_FALSE(a.bar->springTimer());

    // A timer that is not the bar's own fails the assertion, which names it, and springs nothing.
    tabbartest::expectForeignSpringTimerRefused([this](fnd::Timer& timer) { a.bar->fireSpring(timer); });
    EXPECT_EQ(a.tabView->selectedTabViewItem()->label(), fnd::String("B"));
}

}

namespace {

// Items added, inserted, removed and moved through the tab view at random, in a bar of up to forty tabs: the cells
// follow the rule (a removed item's cell goes, a new item's cell is appended), each item has one cell, and every
// cell shown has its tracking rect, found by its tag and owned by the cell.
TEST_F(ZTBTabBarControlTest, CellsFollowRandomChangesOfManyItems)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        auto w = BarWindow::make({ 100, 100 }, 2000);
        std::vector<std::string> model;
        int made = 0;
        for (int step = 0; step < 120; ++step) {
            const long count = w.tabView->numberOfTabViewItems();
            const unsigned what = random() % 4;
            if (what == 0 || count < 2) {
                const auto label = "T" + std::to_string(made++);
                auto item = ui::TabViewItem::create();
                item->setLabel(fnd::String(label));
                w.tabView->insertTabViewItem(item, long(random() % std::size_t(count + 1)));
                model.push_back(label);
            } else if (what == 1 && count < 40) {
                w.addItem("T" + std::to_string(made));
                model.push_back("T" + std::to_string(made++));
            } else if (what == 2) {
                auto item = w.tabView->tabViewItemAtIndex(long(random() % std::size_t(count)));
                std::erase(model, item->label().utf8());
                w.tabView->removeTabViewItem(item);
            } else {
                // Out and in again: its cell goes to the end.
                auto item = w.tabView->tabViewItemAtIndex(long(random() % std::size_t(count)));
                w.tabView->removeTabViewItem(item);
                w.tabView->insertTabViewItem(item, long(random() % std::size_t(count)));
                std::erase(model, item->label().utf8());
                model.push_back(item->label().utf8());
            }
            ASSERT_EQ(w.barLabels(), model) << "seed " << seed << " step " << step;
            w.window->layoutIfNeeded();
            for (const auto& cell : w.bar->cells()) {
                if (cell->isInOverflowMenu())
                    break;
                auto area = w.bar->trackingAreaWithNumber(cell->cellTrackingTag());
                ASSERT_TRUE(area) << "seed " << seed << " step " << step;
                EXPECT_EQ(area->trackingOwner().get(), static_cast<ui::TrackingOwner*>(cell.get()));
                EXPECT_EQ(std::ranges::count(w.bar->trackingAreas(), area), 1);
            }
        }
        w.window->close();
    }
}

}
